// Reads WinHelp files back the way Wine's viewer does, for the tests.
#ifndef HELPC_READER_H
#define HELPC_READER_H

#include "../hlp.h"
#include <functional>

namespace reader {

using hlp::Bytes;

uint16_t U16(const Bytes &b, size_t at);
uint32_t U32(const Bytes &b, size_t at);

// An internal file's content, found through the directory tree; empty
// with found = false when it is not there.
Bytes InternalFile(const Bytes &file, const std::string &name, bool *found = nullptr);

// Descends a tree as the viewer does. `compare` gets a leaf or index entry
// and returns <0, 0, >0 against the key sought; `entry_size` its length.
// Returns the offset in `tree` of the matching leaf entry, or 0.
size_t TreeSearch(const Bytes &tree, const std::function<int(const Bytes &, size_t)> &compare,
                  const std::function<size_t(const Bytes &, size_t, bool leaf)> &entry_size);
// Every leaf entry's offset, following the leaf chain from the first leaf.
std::vector<size_t> TreeLeaves(const Bytes &tree,
                               const std::function<size_t(const Bytes &, size_t, bool leaf)> &entry_size);

Bytes UnpackLZ77(const Bytes &packed, size_t from, size_t to);

struct Page {
    std::string title;
    uint32_t offset;                  // TOPICOFFSET
    uint32_t position;                // TOPICPOS of its header
    std::string text;                 // paragraphs, each ended by '\n'
    std::vector<int32_t> jumps;       // hashes of its hotspots
};
std::vector<Page> Pages(const Bytes &file);

// The page a TOPICOFFSET opens: the one with the largest offset <= value.
const Page *PageByOffset(const std::vector<Page> &pages, uint32_t offset);
// Through |CONTEXT; null when the hash is not there.
const Page *PageByContext(const Bytes &file, const std::vector<Page> &pages, const std::string &context);
// Keywords in stored order, each with its topics' offsets.
std::vector<std::pair<std::string, std::vector<uint32_t>>> Keywords(const Bytes &file);

} // namespace reader

#endif
