// A small compiler of plain-text help sources into WinHelp 3.1 files.
#ifndef HELPC_HLP_H
#define HELPC_HLP_H

#include <cstdint>
#include <string>
#include <vector>

namespace hlp {

typedef std::vector<uint8_t> Bytes;

// Limits of what the compiler accepts; each keeps a record inside one
// topic block or one tree page.
const size_t MAX_TITLE = 127;
const size_t MAX_CONTEXT = 64;
const size_t MAX_KEYWORD = 127;
const size_t MAX_PARAGRAPH = 3000;

// Hash of a context name, as the viewer looks topics up by it.
int32_t ContextHash(const std::string &name);
bool IsContextName(const std::string &name);

// One leaf entry of a B+ tree: its bytes and the key that index pages copy.
struct TreeEntry {
    Bytes leaf;
    Bytes key;
};

// A B+ tree with entries already in the tree's order; the result starts
// with the 38-byte tree header. Pages are numbered leaves first.
Bytes BuildTree(const std::vector<TreeEntry> &entries, uint16_t page_size, uint16_t flags,
                const char *structure);
// The same, also giving the index of the first entry of each leaf page.
Bytes BuildTreeWithLeaves(const std::vector<TreeEntry> &entries, uint16_t page_size, uint16_t flags,
                          const char *structure, std::vector<uint32_t> *leaf_starts);

// One paragraph: plain text with jumps to other topics.
struct Span {
    std::string text;
    std::string jump;   // context name; empty for plain text
};
typedef std::vector<Span> Paragraph;

// Bytes of a paragraph's text record, jumps included. A record is never
// split between topic blocks, and a topic's header shares its block with
// its first paragraph, so a paragraph may take at most this much.
size_t ParagraphRecordSize(const Paragraph &paragraph);
extern const size_t MAX_PARAGRAPH_RECORD;

struct Topic {
    std::string context;
    std::string title;
    std::vector<std::string> keywords;
    std::vector<Paragraph> paragraphs;
    int line = 0;
};

struct HelpSource {
    std::string title;
    std::string contents;   // context of the contents topic; the first when empty
    std::vector<Topic> topics;
};

// The |TOPIC stream: blocks and where each topic landed.
struct TopicStream {
    Bytes data;                        // whole blocks, as stored
    std::vector<uint32_t> offsets;     // TOPICOFFSET of each topic
    std::vector<uint32_t> positions;   // TOPICPOS of each topic header
};
TopicStream BuildTopics(const HelpSource &source);

// Literal-only LZ77 as the viewer expands it.
Bytes PackLiterals(const Bytes &plain);

// The whole file.
Bytes BuildHelpFile(const HelpSource &source);

// Reads a help source; on failure returns false with "file:line: message".
bool ParseSource(const std::string &text, const std::string &file_name, HelpSource &out,
                 std::string &error);

} // namespace hlp

#endif
