// WinHelp 3.1 writer: the internal file system, its B+ trees, |SYSTEM,
// |FONT, |TOPIC, |CONTEXT, the keyword files and |TTLBTREE.
#include "hlp.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <strings.h>

namespace hlp {

namespace {

const uint16_t TREE_MAGIC = 0x293B;
const uint32_t TOPIC_BLOCK = 0x1000;
const uint32_t BLOCK_HEADER = 12;
// Decompressed bytes that still fit a block when every byte is a literal:
// one flag byte per eight literals.
const uint32_t BLOCK_CAPACITY = 3630;
const uint32_t NONE = 0xFFFFFFFF;
const uint8_t RECORD_TOPIC_HEADER = 0x02;
const uint8_t RECORD_TEXT = 0x20;
const size_t LINK_HEADER = 0x15;
const size_t TOPIC_HEADER_SIZE = 28;

void Put8(Bytes &b, uint8_t v) { b.push_back(v); }
void Put16(Bytes &b, uint16_t v) { b.push_back(v & 0xFF); b.push_back(v >> 8); }
void Put32(Bytes &b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back((v >> (8 * i)) & 0xFF);
}
void PutZ(Bytes &b, const std::string &s)
{
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}
void Set16(Bytes &b, size_t at, uint16_t v) { b[at] = v & 0xFF; b[at + 1] = v >> 8; }
void Set32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}
void Append(Bytes &b, const Bytes &more) { b.insert(b.end(), more.begin(), more.end()); }

// Compressed integers of text records.
void PutCompressedUShort(Bytes &b, unsigned v)
{
    if (v < 128)
        Put8(b, v * 2);
    else
        Put16(b, v * 2 + 1);
}
void PutCompressedLong(Bytes &b, long v)
{
    if (v >= -16384 && v <= 16383)
        Put16(b, (uint16_t)(v * 2 + 0x8000));
    else
        Put32(b, (uint32_t)(v * 2 + 0x80000001L));
}

struct Page {
    Bytes bytes;
    Bytes first_key;
};

// Packs entries into pages of one level. `leaf` selects the 8-byte leaf
// header (linked both ways) or the 6-byte index header.
std::vector<Page> PackLevel(const std::vector<TreeEntry> &entries, uint16_t page_size, bool leaf,
                            const std::vector<uint16_t> &children, uint16_t first_number,
                            std::vector<uint32_t> *leaf_starts)
{
    std::vector<Page> pages;
    const size_t header = leaf ? 8 : 6;
    size_t i = 0;
    while (i < entries.size() || (pages.empty() && leaf)) {
        Page page;
        page.bytes.assign(header, 0);
        uint16_t count = 0;
        if (!leaf) {
            // The first child needs no key: it is the page's PreviousPage.
            Set16(page.bytes, 4, children[i]);
            page.first_key = entries[i].key;
            i++;
        } else if (i < entries.size()) {
            page.first_key = entries[i].key;
            if (leaf_starts)
                leaf_starts->push_back(i);
        }
        while (i < entries.size() && page.bytes.size() + entries[i].leaf.size() <= page_size) {
            Append(page.bytes, entries[i].leaf);
            count++;
            i++;
        }
        Set16(page.bytes, 0, page_size - page.bytes.size());
        Set16(page.bytes, 2, count);
        page.bytes.resize(page_size, 0);
        pages.push_back(page);
        if (entries.empty())
            break;
    }
    if (leaf) {
        for (size_t p = 0; p < pages.size(); p++) {
            Set16(pages[p].bytes, 4, p == 0 ? 0xFFFF : first_number + p - 1);
            Set16(pages[p].bytes, 6, p + 1 == pages.size() ? 0xFFFF : first_number + p + 1);
        }
    }
    return pages;
}

Bytes TreeHeader(uint16_t flags, uint16_t page_size, const char *structure, uint16_t root,
                 uint16_t total_pages, uint16_t levels, uint32_t entries)
{
    Bytes h;
    Put16(h, TREE_MAGIC);
    Put16(h, flags);
    Put16(h, page_size);
    char name[16] = {};
    strncpy(name, structure, sizeof name - 1);
    h.insert(h.end(), name, name + 16);
    Put16(h, 0);        // must be zero
    Put16(h, 0);        // page splits
    Put16(h, root);
    Put16(h, 0xFFFF);   // must be -1
    Put16(h, total_pages);
    Put16(h, levels);
    Put32(h, entries);
    return h;
}

} // namespace

Bytes BuildTreeWithLeaves(const std::vector<TreeEntry> &entries, uint16_t page_size, uint16_t flags,
                          const char *structure, std::vector<uint32_t> *leaf_starts)
{
    std::vector<Page> all = PackLevel(entries, page_size, true, {}, 0, leaf_starts);
    size_t level_start = 0;
    uint16_t levels = 1;
    while (all.size() - level_start > 1) {
        // One index entry per child after the first of each index page.
        std::vector<TreeEntry> keys;
        std::vector<uint16_t> children;
        for (size_t p = level_start; p < all.size(); p++) {
            TreeEntry e;
            e.key = all[p].first_key;
            e.leaf = all[p].first_key;
            Put16(e.leaf, (uint16_t)p);
            keys.push_back(e);
            children.push_back((uint16_t)p);
        }
        size_t next_start = all.size();
        std::vector<Page> up = PackLevel(keys, page_size, false, children, next_start, NULL);
        all.insert(all.end(), up.begin(), up.end());
        level_start = next_start;
        levels++;
    }
    Bytes tree = TreeHeader(flags, page_size, structure, (uint16_t)(all.size() - 1), (uint16_t)all.size(),
                            levels, (uint32_t)entries.size());
    for (const Page &p : all)
        Append(tree, p.bytes);
    return tree;
}

Bytes BuildTree(const std::vector<TreeEntry> &entries, uint16_t page_size, uint16_t flags,
                const char *structure)
{
    return BuildTreeWithLeaves(entries, page_size, flags, structure, NULL);
}

int32_t ContextHash(const std::string &name)
{
    uint32_t h = 0;
    for (unsigned char c : name) {
        unsigned x = 0;
        if (c >= 'A' && c <= 'Z')
            x = c - 'A' + 17;
        else if (c >= 'a' && c <= 'z')
            x = c - 'a' + 17;
        else if (c >= '1' && c <= '9')
            x = c - '0';
        else if (c == '0')
            x = 10;
        else if (c == '.')
            x = 12;
        else if (c == '_')
            x = 13;
        if (x)
            h = h * 43 + x;
    }
    return (int32_t)h;
}

bool IsContextName(const std::string &name)
{
    if (name.empty())
        return false;
    for (unsigned char c : name)
        if (!isalnum(c) && c != '.' && c != '_')
            return false;
    return true;
}

Bytes PackLiterals(const Bytes &plain)
{
    Bytes packed;
    for (size_t i = 0; i < plain.size(); i++) {
        if (i % 8 == 0)
            packed.push_back(0);   // eight literals follow
        packed.push_back(plain[i]);
    }
    return packed;
}

namespace {

struct Link {
    uint8_t type;
    Bytes data1, data2;
    unsigned length;   // character positions the record adds
    size_t topic;
    uint32_t pos = 0;
    size_t size() const { return LINK_HEADER + data1.size() + data2.size(); }
};

Link TextLink(const Paragraph &paragraph, size_t topic)
{
    Link link;
    link.type = RECORD_TEXT;
    link.topic = topic;
    Bytes commands;
    Put8(commands, 0x80);   // font 0
    Put16(commands, 0);
    PutZ(link.data2, "");
    std::string pending;
    for (const Span &span : paragraph) {
        if (span.jump.empty()) {
            pending += span.text;
            continue;
        }
        PutZ(link.data2, pending);
        pending.clear();
        Put8(commands, 0xE3);   // jump to the topic of a context hash
        Put32(commands, (uint32_t)ContextHash(span.jump));
        PutZ(link.data2, span.text);
        Put8(commands, 0x89);   // end of hotspot
    }
    PutZ(link.data2, pending);
    Put8(commands, 0x82);       // end of paragraph
    Put8(commands, 0xFF);
    link.length = (unsigned)link.data2.size();
    PutCompressedLong(link.data1, (long)link.data2.size());
    PutCompressedUShort(link.data1, link.length);
    Put8(link.data1, 0x00);
    Put8(link.data1, 0x80);
    Put16(link.data1, 0);       // id
    Put16(link.data1, 0);       // paragraph bits: plain, left-aligned
    Append(link.data1, commands);
    return link;
}

} // namespace

const size_t MAX_PARAGRAPH_RECORD = BLOCK_CAPACITY - (LINK_HEADER + TOPIC_HEADER_SIZE + MAX_TITLE + 1);

size_t ParagraphRecordSize(const Paragraph &paragraph)
{
    return TextLink(paragraph, 0).size();
}

TopicStream BuildTopics(const HelpSource &source)
{
    std::vector<Link> links;
    for (size_t t = 0; t < source.topics.size(); t++) {
        Link header;
        header.type = RECORD_TOPIC_HEADER;
        header.topic = t;
        header.length = 0;
        header.data1.assign(TOPIC_HEADER_SIZE, 0);
        PutZ(header.data2, source.topics[t].title);
        links.push_back(header);
        for (const Paragraph &p : source.topics[t].paragraphs)
            links.push_back(TextLink(p, t));
    }

    TopicStream out;
    std::vector<Bytes> blocks(1);
    std::vector<uint32_t> first_in_block(1, NONE);
    uint32_t counter = 0;
    for (size_t i = 0; i < links.size(); i++) {
        Link &link = links[i];
        // A topic's header starts the block of its first paragraph.
        size_t needed = link.size();
        if (link.type == RECORD_TOPIC_HEADER && i + 1 < links.size() && links[i + 1].topic == link.topic)
            needed += links[i + 1].size();
        if (blocks.back().size() + needed > BLOCK_CAPACITY && !blocks.back().empty()) {
            blocks.emplace_back();
            first_in_block.push_back(NONE);
            counter = 0;
        }
        uint32_t block = (uint32_t)blocks.size() - 1;
        link.pos = BLOCK_HEADER + (block << 14) + (uint32_t)blocks.back().size();
        if (first_in_block.back() == NONE)
            first_in_block.back() = link.pos;
        if (link.type == RECORD_TOPIC_HEADER) {
            out.offsets.push_back(block * 0x8000 + counter);
            out.positions.push_back(link.pos);
        }
        counter += link.length;
        blocks.back().resize(blocks.back().size() + link.size());
    }

    // Now that every position is known, write the links into their blocks.
    std::vector<uint32_t> topic_size(source.topics.size(), 0), scroll(source.topics.size(), NONE);
    for (const Link &link : links) {
        topic_size[link.topic] += (uint32_t)link.size();
        if (link.type == RECORD_TEXT && scroll[link.topic] == NONE)
            scroll[link.topic] = link.pos;
    }
    std::vector<uint32_t> last_link(blocks.size(), NONE), last_header_before(blocks.size(), NONE);
    uint32_t last_header = NONE;
    size_t current_block = 0;
    for (size_t i = 0; i < links.size(); i++) {
        Link &link = links[i];
        size_t block = (link.pos - BLOCK_HEADER) >> 14;
        while (current_block < block)
            last_header_before[++current_block] = last_header;
        if (link.type == RECORD_TOPIC_HEADER) {
            size_t t = link.topic;
            Set32(link.data1, 0, topic_size[t]);
            Set32(link.data1, 4, NONE);   // no browse sequence
            Set32(link.data1, 8, NONE);
            Set32(link.data1, 12, (uint32_t)t);
            Set32(link.data1, 16, NONE);  // no non-scrolling region
            Set32(link.data1, 20, scroll[t]);
            Set32(link.data1, 24, t + 1 < out.positions.size() ? out.positions[t + 1] : NONE);
            last_header = link.pos;
        }
        Bytes record;
        Put32(record, (uint32_t)link.size());
        Put32(record, (uint32_t)link.data2.size());
        Put32(record, i == 0 ? NONE : links[i - 1].pos);
        Put32(record, i + 1 == links.size() ? NONE : links[i + 1].pos);
        Put32(record, (uint32_t)(LINK_HEADER + link.data1.size()));
        Put8(record, link.type);
        Append(record, link.data1);
        Append(record, link.data2);
        size_t at = (link.pos - BLOCK_HEADER) & 0x3FFF;
        std::copy(record.begin(), record.end(), blocks[block].begin() + at);
        last_link[block] = link.pos;
    }
    for (size_t b = 0; b < blocks.size(); b++) {
        Bytes stored;
        Put32(stored, b == 0 ? NONE : last_link[b - 1]);
        Put32(stored, first_in_block[b]);
        Put32(stored, b == 0 ? NONE : last_header_before[b]);
        Append(stored, PackLiterals(blocks[b]));
        stored.resize(TOPIC_BLOCK, 0);   // the viewer reads whole blocks
        Append(out.data, stored);
    }
    return out;
}

namespace {

Bytes SystemFile(const HelpSource &source, uint32_t contents_offset)
{
    Bytes s;
    Put16(s, 0x036C);
    Put16(s, 21);   // version 1.21
    Put16(s, 1);
    Put32(s, 0);    // generation date
    Put16(s, 4);    // LZ77 topic blocks of 4 KiB
    Put16(s, 1);    // title
    Put16(s, (uint16_t)(source.title.size() + 1));
    PutZ(s, source.title);
    Put16(s, 3);    // contents topic
    Put16(s, 4);
    Put32(s, contents_offset);
    return s;
}

Bytes FontFile()
{
    Bytes f;
    Put16(f, 1);        // face names
    Put16(f, 1);        // descriptors
    Put16(f, 8);        // face names at
    Put16(f, 8 + 20);   // descriptors at
    char face[20] = "Arial";
    f.insert(f.end(), face, face + 20);
    Put8(f, 0);         // plain
    Put8(f, 20);        // 10 pt in half points
    Put8(f, 3);         // swiss
    Put16(f, 0);        // face name 0
    Put8(f, 0); Put8(f, 0); Put8(f, 0);
    Put8(f, 0xFF); Put8(f, 0xFF); Put8(f, 0xFF);
    return f;
}

bool KeywordLess(const std::string &a, const std::string &b)
{
    int c = strcasecmp(a.c_str(), b.c_str());
    return c != 0 ? c < 0 : a < b;
}

} // namespace

Bytes BuildHelpFile(const HelpSource &source)
{
    TopicStream topics = BuildTopics(source);
    std::map<std::string, size_t> by_context;
    for (size_t t = 0; t < source.topics.size(); t++)
        by_context[source.topics[t].context] = t;
    size_t contents = source.contents.empty() ? 0 : by_context[source.contents];

    std::map<std::string, Bytes> files;
    files["|SYSTEM"] = SystemFile(source, topics.offsets[contents]);
    files["|FONT"] = FontFile();
    files["|TOPIC"] = topics.data;

    std::vector<std::pair<int32_t, uint32_t>> hashes;
    for (size_t t = 0; t < source.topics.size(); t++)
        hashes.push_back({ ContextHash(source.topics[t].context), topics.offsets[t] });
    std::sort(hashes.begin(), hashes.end());
    std::vector<TreeEntry> context;
    for (auto &h : hashes) {
        TreeEntry e;
        Put32(e.key, (uint32_t)h.first);
        e.leaf = e.key;
        Put32(e.leaf, h.second);
        context.push_back(e);
    }
    files["|CONTEXT"] = BuildTree(context, 0x800, 0x0002, "L4");

    std::map<std::string, std::vector<uint32_t>, bool (*)(const std::string &, const std::string &)>
        keywords(KeywordLess);
    for (size_t t = 0; t < source.topics.size(); t++)
        for (const std::string &k : source.topics[t].keywords)
            keywords[k].push_back(topics.offsets[t]);
    std::vector<TreeEntry> kwtree;
    Bytes kwdata;
    for (auto &k : keywords) {
        TreeEntry e;
        PutZ(e.key, k.first);
        e.leaf = e.key;
        Put16(e.leaf, (uint16_t)k.second.size());
        Put32(e.leaf, (uint32_t)kwdata.size());
        for (uint32_t offset : k.second)
            Put32(kwdata, offset);
        kwtree.push_back(e);
    }
    std::vector<uint32_t> leaf_starts;
    files["|KWBTREE"] = BuildTreeWithLeaves(kwtree, 0x800, 0x0002, "F24", &leaf_starts);
    files["|KWDATA"] = kwdata;
    Bytes kwmap;
    for (size_t p = 0; p < leaf_starts.size(); p++) {
        Put32(kwmap, leaf_starts[p]);
        Put16(kwmap, (uint16_t)p);   // leaves are the first pages
    }
    files["|KWMAP"] = kwmap;

    std::vector<TreeEntry> titles;
    for (size_t t = 0; t < source.topics.size(); t++) {
        TreeEntry e;
        Put32(e.key, topics.offsets[t]);
        e.leaf = e.key;
        PutZ(e.leaf, source.topics[t].title);
        titles.push_back(e);
    }
    files["|TTLBTREE"] = BuildTree(titles, 0x800, 0x0002, "Lz");

    // Header, the files in name order, the directory last.
    Bytes out(16, 0);
    std::vector<TreeEntry> directory;
    for (auto &f : files) {   // std::map keeps strcmp order
        TreeEntry e;
        PutZ(e.key, f.first);
        e.leaf = e.key;
        Put32(e.leaf, (uint32_t)out.size());
        directory.push_back(e);
        Put32(out, (uint32_t)(f.second.size() + 9));
        Put32(out, (uint32_t)f.second.size());
        Put8(out, 0x04);
        out.insert(out.end(), f.second.begin(), f.second.end());
    }
    uint32_t directory_at = (uint32_t)out.size();
    Bytes tree = BuildTree(directory, 0x400, 0x0402, "z4");
    Put32(out, (uint32_t)(tree.size() + 9));
    Put32(out, (uint32_t)tree.size());
    Put8(out, 0x04);
    Append(out, tree);
    Set32(out, 0, 0x00035F3F);
    Set32(out, 4, directory_at);
    Set32(out, 8, NONE);
    Set32(out, 12, (uint32_t)out.size());
    return out;
}

} // namespace hlp
