#include "reader.h"

#include <cstring>

namespace reader {

uint16_t U16(const Bytes &b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
uint32_t U32(const Bytes &b, size_t at) { return U16(b, at) | ((uint32_t)U16(b, at + 2) << 16); }

namespace {

const size_t TREE_HEADER = 38;

size_t PageAt(const Bytes &tree, unsigned page) { return TREE_HEADER + page * (size_t)U16(tree, 4); }

size_t DirectoryEntrySize(const Bytes &b, size_t at, bool leaf)
{
    return strlen((const char *)&b[at]) + 1 + (leaf ? 4 : 2);
}

} // namespace

size_t TreeSearch(const Bytes &tree, const std::function<int(const Bytes &, size_t)> &compare,
                  const std::function<size_t(const Bytes &, size_t, bool)> &entry_size)
{
    if (U16(tree, 0) != 0x293B)
        return 0;
    unsigned page = U16(tree, 26);
    int levels = (int16_t)U16(tree, 32);
    for (int level = 1; level < levels; level++) {
        size_t at = PageAt(tree, page);
        unsigned entries = U16(tree, at + 2);
        unsigned next = U16(tree, at + 4);
        size_t entry = at + 6;
        for (unsigned i = 0; i < entries; i++) {
            size_t size = entry_size(tree, entry, false);
            if (compare(tree, entry) > 0)
                break;
            next = U16(tree, entry + size - 2);
            entry += size;
        }
        page = next;
    }
    size_t at = PageAt(tree, page);
    unsigned entries = U16(tree, at + 2);
    size_t entry = at + 8;
    for (unsigned i = 0; i < entries; i++) {
        int c = compare(tree, entry);
        if (c == 0)
            return entry;
        if (c > 0)
            return 0;
        entry += entry_size(tree, entry, true);
    }
    return 0;
}

std::vector<size_t> TreeLeaves(const Bytes &tree, const std::function<size_t(const Bytes &, size_t, bool)> &entry_size)
{
    std::vector<size_t> found;
    unsigned page = U16(tree, 26);
    int levels = (int16_t)U16(tree, 32);
    for (int level = 1; level < levels; level++)
        page = U16(tree, PageAt(tree, page) + 4);
    for (int guard = 0; page != 0xFFFF && guard < 10000; guard++) {
        size_t at = PageAt(tree, page);
        size_t entry = at + 8;
        for (unsigned i = 0; i < U16(tree, at + 2); i++) {
            found.push_back(entry);
            entry += entry_size(tree, entry, true);
        }
        page = U16(tree, at + 6);
    }
    return found;
}

Bytes InternalFile(const Bytes &file, const std::string &name, bool *found)
{
    if (found)
        *found = false;
    if (file.size() < 16 || U32(file, 0) != 0x00035F3F || U32(file, 12) != file.size())
        return Bytes();
    size_t directory = U32(file, 4);
    Bytes tree(file.begin() + directory + 9, file.begin() + directory + 9 + U32(file, directory + 4));
    size_t entry = TreeSearch(
        tree, [&](const Bytes &b, size_t at) { return strcmp((const char *)&b[at], name.c_str()); },
        DirectoryEntrySize);
    if (!entry)
        return Bytes();
    size_t start = U32(tree, entry + name.size() + 1);
    uint32_t reserved = U32(file, start), used = U32(file, start + 4);
    if (start + reserved > file.size() || reserved < used + 9)
        return Bytes();
    if (found)
        *found = true;
    return Bytes(file.begin() + start + 9, file.begin() + start + 9 + used);
}

Bytes UnpackLZ77(const Bytes &packed, size_t from, size_t to)
{
    Bytes out;
    size_t at = from;
    while (at < to) {
        int mask = packed[at++];
        for (int i = 0; i < 8 && at < to; i++, mask >>= 1) {
            if (mask & 1) {
                unsigned code = U16(packed, at);
                at += 2;
                size_t length = 3 + (code >> 12), back = (code & 0xFFF) + 1;
                for (; length > 0; length--)
                    out.push_back(out.at(out.size() - back));
            } else {
                out.push_back(packed[at++]);
            }
        }
    }
    return out;
}

namespace {

long FetchLong(const Bytes &b, size_t &at)
{
    if (b[at] & 1) {
        long v = ((long)U32(b, at) - 0x80000000L) / 2;
        at += 4;
        return v;
    }
    long v = ((long)U16(b, at) - 0x8000) / 2;
    at += 2;
    return v;
}

unsigned FetchUShort(const Bytes &b, size_t &at)
{
    if (b[at] & 1) {
        unsigned v = U16(b, at) / 2;
        at += 2;
        return v;
    }
    return b[at++] / 2;
}

} // namespace

std::vector<Page> Pages(const Bytes &file)
{
    std::vector<Page> pages;
    Bytes topic = InternalFile(file, "|TOPIC");
    if (topic.empty())
        return pages;
    // Each 4 KiB block: a 12-byte header, then LZ77 data.
    std::vector<Bytes> blocks;
    for (size_t b = 0; b < topic.size(); b += 0x1000)
        blocks.push_back(UnpackLZ77(topic, b + 12, std::min(topic.size(), b + 0x1000)));
    uint32_t ref = 0x0C;
    unsigned counter = 0, old_block = ~0u;
    for (int guard = 0; ref != 0xFFFFFFFF && guard < 10000; guard++) {
        unsigned block = (ref - 0x0C) >> 14, offset = (ref - 0x0C) & 0x3FFF;
        if (block >= blocks.size())
            break;
        const Bytes &data = blocks[block];
        if (block != old_block) {
            counter = 0;
            old_block = block;
        }
        uint32_t size = U32(data, offset), length2 = U32(data, offset + 4), length1 = U32(data, offset + 16);
        uint8_t type = data[offset + 20];
        Bytes link(data.begin() + offset, data.begin() + offset + size);
        if (type == 0x02) {
            Page page;
            page.title.assign((const char *)&link[length1], strnlen((const char *)&link[length1], length2));
            page.offset = block * 0x8000 + counter;
            page.position = ref;
            pages.push_back(page);
        } else if (type == 0x20 && !pages.empty()) {
            size_t at = 0x15;
            FetchLong(link, at);
            counter += FetchUShort(link, at);
            at += 4;   // unknown bytes and id
            unsigned bits = U16(link, at);
            at += 2;
            if (bits != 0)
                break;   // the writer sets none
            size_t text = length1;
            std::string shown;
            while (text < size && at < length1) {
                std::string piece((const char *)&link[text], strnlen((const char *)&link[text], size - text));
                shown += piece;
                text += piece.size() + 1;
                uint8_t command = link[at];
                if (command == 0xFF)
                    break;
                if (command == 0x80)
                    at += 3;
                else if (command == 0xE3) {
                    pages.back().jumps.push_back((int32_t)U32(link, at + 1));
                    at += 5;
                } else if (command == 0x82) {
                    shown += '\n';
                    at++;
                } else {
                    at++;
                }
            }
            pages.back().text += shown;
        }
        ref = U32(data, offset + 12);
    }
    return pages;
}

const Page *PageByOffset(const std::vector<Page> &pages, uint32_t offset)
{
    const Page *found = nullptr;
    for (const Page &p : pages)
        if (p.offset <= offset && (!found || p.offset > found->offset))
            found = &p;
    return found;
}

const Page *PageByContext(const Bytes &file, const std::vector<Page> &pages, const std::string &context)
{
    Bytes tree = InternalFile(file, "|CONTEXT");
    int32_t hash = hlp::ContextHash(context);
    size_t entry = TreeSearch(
        tree,
        [hash](const Bytes &b, size_t at) {
            int32_t here = (int32_t)U32(b, at);
            return here < hash ? -1 : here > hash ? 1 : 0;
        },
        [](const Bytes &, size_t, bool leaf) -> size_t { return leaf ? 8 : 6; });
    return entry ? PageByOffset(pages, U32(tree, entry + 4)) : nullptr;
}

std::vector<std::pair<std::string, std::vector<uint32_t>>> Keywords(const Bytes &file)
{
    std::vector<std::pair<std::string, std::vector<uint32_t>>> keywords;
    Bytes tree = InternalFile(file, "|KWBTREE"), data = InternalFile(file, "|KWDATA");
    auto size = [](const Bytes &b, size_t at, bool leaf) -> size_t {
        return strlen((const char *)&b[at]) + 1 + (leaf ? 6 : 2);
    };
    for (size_t entry : TreeLeaves(tree, size)) {
        std::string word((const char *)&tree[entry]);
        unsigned count = U16(tree, entry + word.size() + 1);
        uint32_t at = U32(tree, entry + word.size() + 3);
        std::vector<uint32_t> offsets;
        for (unsigned i = 0; i < count; i++)
            offsets.push_back(U32(data, at + 4 * i));
        keywords.push_back({ word, offsets });
    }
    return keywords;
}

} // namespace reader
