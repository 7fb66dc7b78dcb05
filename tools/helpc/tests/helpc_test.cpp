// The help compiler's pieces, and what a viewer finds in its output.
#include "reader.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

using hlp::Bytes;
using namespace reader;

namespace {

hlp::HelpSource Parse(const std::string &text)
{
    hlp::HelpSource source;
    std::string error;
    EXPECT_TRUE(hlp::ParseSource(text, "test.txt", source, error)) << error;
    return source;
}

std::string ParseError(const std::string &text)
{
    hlp::HelpSource source;
    std::string error;
    EXPECT_FALSE(hlp::ParseSource(text, "bad.txt", source, error));
    return error;
}

const char *ThreeTopics = ".title Example Help\n"
                          ".topic contents Contents\nChoose a topic.\n\n"
                          ".topic security Security\n.keyword Security\nKeep it safe.\n\n"
                          ".topic caveat_emptor Caveat Emptor\n.keyword Caveat Emptor\nBuyer beware.\n";

size_t ContextEntry(const Bytes &, size_t, bool leaf) { return leaf ? 8 : 6; }

} // namespace

TEST(ContextHash, MatchesTheViewersValuesAndIgnoresCase)
{
    EXPECT_EQ((uint32_t)hlp::ContextHash("contents"), 0x25F4558Au);
    EXPECT_EQ((uint32_t)hlp::ContextHash("security"), 0xA86F66A8u);
    EXPECT_EQ(hlp::ContextHash("caveat_emptor"), 1644098772);
    EXPECT_EQ(hlp::ContextHash("Security"), hlp::ContextHash("SECURITY"));
    EXPECT_EQ(hlp::ContextHash("a0"), 17 * 43 + 10);
    EXPECT_EQ(hlp::ContextHash("a.9_"), ((17 * 43 + 12) * 43 + 9) * 43 + 13);
    EXPECT_TRUE(hlp::IsContextName("caveat_emptor.2"));
    EXPECT_FALSE(hlp::IsContextName("caveat emptor"));
    EXPECT_FALSE(hlp::IsContextName(""));
}

TEST(Tree, OnePageKeepsItsEntriesAndHeader)
{
    std::vector<hlp::TreeEntry> entries;
    for (int32_t h : { -5, 3, 9 }) {
        hlp::TreeEntry e;
        for (int i = 0; i < 4; i++)
            e.key.push_back((uint32_t)h >> (8 * i));
        e.leaf = e.key;
        e.leaf.insert(e.leaf.end(), { 1, 0, 0, 0 });
        entries.push_back(e);
    }
    Bytes tree = hlp::BuildTree(entries, 0x800, 2, "L4");
    ASSERT_EQ(tree.size(), 38u + 0x800);
    EXPECT_EQ(U16(tree, 0), 0x293B);
    EXPECT_EQ(U16(tree, 4), 0x800);
    EXPECT_EQ(U16(tree, 26), 0);        // root
    EXPECT_EQ(U16(tree, 28), 0xFFFF);
    EXPECT_EQ(U16(tree, 30), 1);        // pages
    EXPECT_EQ(U16(tree, 32), 1);        // levels
    EXPECT_EQ(U32(tree, 34), 3u);
    EXPECT_EQ(U16(tree, 38), 0x800 - 8 - 24);   // unused
    EXPECT_EQ(U16(tree, 40), 3);
    EXPECT_EQ(U16(tree, 42), 0xFFFF);
    EXPECT_EQ(U16(tree, 44), 0xFFFF);
}

// Many entries in small pages: leaves split, index pages split, and every
// key is still found by the viewer's descent and listed in order.
TEST(Tree, PagesThatSplitStillFindEveryKey)
{
    for (uint16_t page_size : { 0x40, 0x800 }) {
        std::vector<hlp::TreeEntry> entries;
        const int count = 1000;
        for (int i = 0; i < count; i++) {
            hlp::TreeEntry e;
            int32_t h = i * 7919 - 3000000;   // ascending, signed
            for (int b = 0; b < 4; b++)
                e.key.push_back((uint32_t)h >> (8 * b));
            e.leaf = e.key;
            for (int b = 0; b < 4; b++)
                e.leaf.push_back((uint32_t)i >> (8 * b));
            entries.push_back(e);
        }
        Bytes tree = hlp::BuildTree(entries, page_size, 2, "L4");
        int levels = U16(tree, 32);
        EXPECT_GT(levels, page_size == 0x40 ? 3 : 1) << page_size;
        EXPECT_EQ(tree.size(), 38u + U16(tree, 30) * (size_t)page_size);
        EXPECT_EQ(U16(tree, 26), U16(tree, 30) - 1);   // the root comes last
        for (int i = 0; i < count; i++) {
            int32_t h = i * 7919 - 3000000;
            size_t at = TreeSearch(
                tree,
                [h](const Bytes &b, size_t p) {
                    int32_t here = (int32_t)U32(b, p);
                    return here < h ? -1 : here > h ? 1 : 0;
                },
                ContextEntry);
            ASSERT_NE(at, 0u) << "entry " << i << " page size " << page_size;
            EXPECT_EQ(U32(tree, at + 4), (uint32_t)i);
        }
        int32_t absent = 5 - 3000000;
        EXPECT_EQ(TreeSearch(tree,
                             [absent](const Bytes &b, size_t p) {
                                 int32_t here = (int32_t)U32(b, p);
                                 return here < absent ? -1 : here > absent ? 1 : 0;
                             },
                             ContextEntry),
                  0u);
        std::vector<size_t> leaves = TreeLeaves(tree, ContextEntry);
        ASSERT_EQ(leaves.size(), (size_t)count);
        for (int i = 0; i < count; i++)
            EXPECT_EQ(U32(tree, leaves[i] + 4), (uint32_t)i);
    }
}

TEST(Topics, OffsetsAndPositionsFollowTheTextRecords)
{
    hlp::TopicStream topics = hlp::BuildTopics(Parse(ThreeTopics));
    EXPECT_EQ(topics.offsets, (std::vector<uint32_t>{ 0x00, 0x11, 0x20 }));
    EXPECT_EQ(topics.positions, (std::vector<uint32_t>{ 0x0C, 0x7A, 0xE6 }));
    EXPECT_EQ(topics.data.size(), 0x1000u);
    Bytes block = UnpackLZ77(topics.data, 12, topics.data.size());
    EXPECT_EQ(U32(topics.data, 0), 0xFFFFFFFFu);
    EXPECT_EQ(U32(topics.data, 4), 0x0Cu);
    // The first text record, as the viewer reads it.
    const uint8_t text[] = { 0x34, 0, 0, 0, 17, 0, 0, 0, 0x0C, 0, 0, 0, 0x7A, 0, 0, 0, 0x23, 0, 0, 0, 0x20,
                             0x22, 0x80, 0x22, 0x00, 0x80, 0, 0, 0, 0, 0x80, 0, 0, 0x82, 0xFF, 0 };
    ASSERT_GT(block.size(), 0x3Au + sizeof text);
    EXPECT_TRUE(std::equal(text, text + sizeof text, block.begin() + 0x3A));
    EXPECT_EQ(std::string((const char *)&block[0x3A + sizeof text]), "Choose a topic.");
}

TEST(Topics, ATopicInALaterBlockCountsFromThatBlock)
{
    std::string source = ".title Long\n";
    for (int t = 0; t < 6; t++) {
        source += ".topic t" + std::to_string(t) + " Topic " + std::to_string(t) + "\n";
        source += std::string(1500, 'a' + t) + "\n\n";
    }
    hlp::HelpSource parsed = Parse(source);
    hlp::TopicStream topics = hlp::BuildTopics(parsed);
    ASSERT_EQ(topics.offsets.size(), 6u);
    EXPECT_GT(topics.data.size(), 0x1000u);
    for (size_t t = 0; t < 6; t++) {
        uint32_t block = (topics.positions[t] - 12) >> 14;
        uint32_t counted = topics.offsets[t] & 0x7FFF;
        EXPECT_EQ(topics.offsets[t] >> 15, block) << t;
        // Each earlier topic in the same block adds its 1502 characters,
        // the text and two string ends.
        size_t before = 0;
        for (size_t u = 0; u < t; u++)
            if ((topics.positions[u] - 12) >> 14 == block)
                before++;
        EXPECT_EQ(counted, before * 1502) << t;
    }
    Bytes file = hlp::BuildHelpFile(parsed);
    std::vector<Page> pages = Pages(file);
    ASSERT_EQ(pages.size(), 6u);
    for (size_t t = 0; t < 6; t++) {
        EXPECT_EQ(pages[t].title, "Topic " + std::to_string(t));
        EXPECT_EQ(pages[t].offset, topics.offsets[t]);
        EXPECT_EQ(pages[t].text, std::string(1500, 'a' + t) + "\n");
        const Page *by_context = PageByContext(file, pages, "t" + std::to_string(t));
        ASSERT_NE(by_context, nullptr);
        EXPECT_EQ(by_context->title, pages[t].title);
    }
}

TEST(Topics, LiteralPackingExpandsBackToTheSameBytes)
{
    Bytes plain;
    for (int i = 0; i < 1000; i++)
        plain.push_back((uint8_t)(i * 37));
    Bytes packed = hlp::PackLiterals(plain);
    EXPECT_EQ(packed.size(), 1000u + 125u);
    EXPECT_EQ(UnpackLZ77(packed, 0, packed.size()), plain);
}

TEST(HelpFile, FileSystemAndDirectoryAreWhatTheViewerChecks)
{
    Bytes file = hlp::BuildHelpFile(Parse(ThreeTopics));
    EXPECT_EQ(U32(file, 0), 0x00035F3Fu);
    EXPECT_EQ(U32(file, 8), 0xFFFFFFFFu);
    EXPECT_EQ(U32(file, 12), file.size());
    for (const char *name : { "|CONTEXT", "|FONT", "|KWBTREE", "|KWDATA", "|KWMAP", "|SYSTEM", "|TOPIC",
                              "|TTLBTREE" }) {
        bool found = false;
        InternalFile(file, name, &found);
        EXPECT_TRUE(found) << name;
    }
    bool found = true;
    InternalFile(file, "|Phrases", &found);
    EXPECT_FALSE(found);
    Bytes system = InternalFile(file, "|SYSTEM");
    EXPECT_EQ(U16(system, 0), 0x036C);
    EXPECT_EQ(U16(system, 2), 21);
    EXPECT_EQ(U16(system, 4), 1);
    EXPECT_EQ(U16(system, 12), 1);
    EXPECT_EQ(std::string((const char *)&system[16]), "Example Help");
    Bytes font = InternalFile(file, "|FONT");
    EXPECT_EQ(U16(font, 0), 1);
    EXPECT_EQ(std::string((const char *)&font[8]), "Arial");
}

TEST(HelpFile, KeywordsLeadToTheirTopicsAndTheContentsIsChosen)
{
    std::string source = ThreeTopics;
    source.insert(source.find('\n') + 1, ".contents security\n");
    Bytes file = hlp::BuildHelpFile(Parse(source));
    std::vector<Page> pages = Pages(file);
    ASSERT_EQ(pages.size(), 3u);
    auto keywords = Keywords(file);
    ASSERT_EQ(keywords.size(), 2u);
    EXPECT_EQ(keywords[0].first, "Caveat Emptor");
    EXPECT_EQ(keywords[1].first, "Security");
    for (auto &k : keywords) {
        ASSERT_EQ(k.second.size(), 1u);
        const Page *page = PageByOffset(pages, k.second[0]);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->title, k.first);
    }
    Bytes system = InternalFile(file, "|SYSTEM");
    size_t contents = 12 + 4 + U16(system, 14);
    EXPECT_EQ(U16(system, contents), 3);
    EXPECT_EQ(U16(system, contents + 2), 4);
    EXPECT_EQ(PageByOffset(pages, U32(system, contents + 4))->title, "Security");
}

TEST(HelpFile, AKeywordOfSeveralTopicsIsOneEntry)
{
    Bytes file = hlp::BuildHelpFile(Parse(".title T\n.topic a A\n.keyword Shared\nx\n\n"
                                          ".topic b B\n.keyword Shared\n.keyword Other\ny\n"));
    std::vector<Page> pages = Pages(file);
    auto keywords = Keywords(file);
    ASSERT_EQ(keywords.size(), 2u);
    EXPECT_EQ(keywords[1].first, "Shared");
    ASSERT_EQ(keywords[1].second.size(), 2u);
    EXPECT_EQ(PageByOffset(pages, keywords[1].second[0])->title, "A");
    EXPECT_EQ(PageByOffset(pages, keywords[1].second[1])->title, "B");
}

TEST(HelpFile, JumpsCarryTheHashOfTheirTopic)
{
    Bytes file = hlp::BuildHelpFile(Parse(".title T\n.topic contents Start\nSee {the levels|security} "
                                          "and {the caveat|caveat_emptor}.\n\n"
                                          ".topic security Levels\nx\n\n.topic caveat_emptor Caveat\ny\n"));
    std::vector<Page> pages = Pages(file);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].text, "See the levels and the caveat.\n");
    EXPECT_EQ(pages[0].jumps, (std::vector<int32_t>{ hlp::ContextHash("security"),
                                                      hlp::ContextHash("caveat_emptor") }));
}

// The real help file of the program.
TEST(ProgramHelp, EveryTopicAndKeywordIsReachable)
{
    std::ifstream in(HELP_SOURCE, std::ios::binary);
    ASSERT_TRUE(in.good()) << HELP_SOURCE;
    std::ostringstream text;
    text << in.rdbuf();
    hlp::HelpSource source = Parse(text.str());
    Bytes file = hlp::BuildHelpFile(source);
    std::vector<Page> pages = Pages(file);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].title, "Using Zorvex");
    const Page *security = PageByContext(file, pages, "security");
    const Page *caveat = PageByContext(file, pages, "caveat_emptor");
    ASSERT_TRUE(security && caveat);
    // From the contents, both other topics are one jump away.
    EXPECT_NE(std::find(pages[0].jumps.begin(), pages[0].jumps.end(), hlp::ContextHash("security")),
              pages[0].jumps.end());
    EXPECT_NE(std::find(pages[0].jumps.begin(), pages[0].jumps.end(), hlp::ContextHash("caveat_emptor")),
              pages[0].jumps.end());
    auto keywords = Keywords(file);
    ASSERT_EQ(keywords.size(), 2u);
    EXPECT_EQ(keywords[0].first, "Caveat Emptor");
    EXPECT_EQ(PageByOffset(pages, keywords[0].second.at(0)), caveat);
    EXPECT_EQ(keywords[1].first, "Security");
    EXPECT_EQ(PageByOffset(pages, keywords[1].second.at(0)), security);
}

TEST(Source, BadInputIsRejectedWithFileAndLine)
{
    EXPECT_EQ(ParseError(".topic a A\ntext\n"), "bad.txt:1: the help file has no .title");
    EXPECT_EQ(ParseError(".title T\n.topic a\ntext\n"), "bad.txt:2: topic \"a\" has no title");
    EXPECT_EQ(ParseError(".title T\n.keyword Lost\n.topic a A\ntext\n"),
              "bad.txt:2: keyword \"Lost\" names no topic: put it below a .topic line");
    EXPECT_EQ(ParseError(".title T\n.topic a A\nx\n\n.topic A B\ny\n"),
              "bad.txt:5: context \"A\" is already used on line 2");
    EXPECT_EQ(ParseError(".title T\n.topic a A\n\n" + std::string(3001, 'x') + "\n"),
              "bad.txt:4: the paragraph is 3001 characters long; at most 3000 fit");
    EXPECT_EQ(ParseError(".title " + std::string(128, 't') + "\n"),
              "bad.txt:1: the title is 128 characters long; at most 127 fit");
    EXPECT_EQ(ParseError(".title T\n.topic a A\nsee {b|nowhere}\n"),
              "bad.txt:3: the jump to \"nowhere\" names no topic");
    EXPECT_EQ(ParseError(".title T\n.topic a A\n"), "bad.txt:2: topic \"a\" has no text");
    EXPECT_EQ(ParseError(".title T\n.contents b\n.topic a A\nx\n"), "bad.txt:2: .contents \"b\" names no topic");
    EXPECT_EQ(ParseError("text\n"), "bad.txt:1: text before the first .topic");
    EXPECT_EQ(ParseError(".title T\n.topic a A\nx {y\n"), "bad.txt:3: a jump must read {shown text|context}");
    EXPECT_EQ(ParseError(".title T\n.topic a-b A\nx\n"),
              "bad.txt:2: .topic needs a context name (letters, digits, '.', '_') and a title");
    EXPECT_EQ(ParseError(".title T\n.topic a A\ncaf\xc3\xa9\n"), "bad.txt:3: only plain ASCII text can be shown");
}

TEST(Source, ParagraphsJoinTheirLinesAndCommentsAreSkipped)
{
    hlp::HelpSource s = Parse("# a comment\n.title  T\n.topic a  The A\n  one\ntwo  \n\nthree\n");
    ASSERT_EQ(s.topics.size(), 1u);
    EXPECT_EQ(s.title, "T");
    EXPECT_EQ(s.topics[0].title, "The A");
    ASSERT_EQ(s.topics[0].paragraphs.size(), 2u);
    EXPECT_EQ(s.topics[0].paragraphs[0][0].text, "one two");
    EXPECT_EQ(s.topics[0].paragraphs[1][0].text, "three");
}

// Many topics whose paragraphs carry hundreds of jumps each, close to the
// limit of one topic block: every page must read back exactly as written.
TEST(HelpFile, LargeLinkHeavySourcesReadBackAsWritten)
{
    const int topics = 24, jumps = 280;
    std::ostringstream source;
    source << ".title Many Links\n";
    std::vector<std::string> want_text(topics);
    std::vector<std::vector<int32_t>> want_jumps(topics);
    for (int t = 0; t < topics; t++) {
        source << ".topic t" << t << " Topic number " << t << "\n";
        for (int p = 0; p < 3; p++) {
            source << "Part " << p << ":";
            want_text[t] += "Part " + std::to_string(p) + ":";
            for (int j = 0; j < jumps; j++) {
                int target = (t * 7 + p * 3 + j) % topics;
                source << " {go" << j % 10 << "|t" << target << "}";
                want_text[t] += " go" + std::to_string(j % 10);
                want_jumps[t].push_back(hlp::ContextHash("t" + std::to_string(target)));
            }
            source << "\n\n";
            want_text[t] += "\n";
        }
    }
    hlp::HelpSource parsed = Parse(source.str());
    ASSERT_EQ(parsed.topics.size(), (size_t)topics);
    EXPECT_GT(hlp::ParagraphRecordSize(parsed.topics[0].paragraphs[0]), hlp::MAX_PARAGRAPH_RECORD * 9 / 10);
    Bytes file = hlp::BuildHelpFile(parsed);
    std::vector<Page> pages = Pages(file);
    ASSERT_EQ(pages.size(), (size_t)topics);
    for (int t = 0; t < topics; t++) {
        EXPECT_EQ(pages[t].title, "Topic number " + std::to_string(t));
        EXPECT_EQ(pages[t].text, want_text[t]) << "topic " << t;
        EXPECT_EQ(pages[t].jumps, want_jumps[t]) << "topic " << t;
        EXPECT_EQ(PageByContext(file, pages, "t" + std::to_string(t)), &pages[t]);
    }
}

TEST(Source, AParagraphTooLargeForOneBlockIsRefused)
{
    std::string links;
    for (int j = 0; j < 590; j++)
        links += "{x|a}";
    std::string error = ParseError(".title T\n.topic a A\n" + links + "\n");
    EXPECT_EQ(error.rfind("bad.txt:3: the paragraph takes ", 0), 0u) << error;
    EXPECT_NE(error.find("at most " + std::to_string(hlp::MAX_PARAGRAPH_RECORD) + " fit one topic block"),
              std::string::npos) << error;
    EXPECT_NE(error.find(" with its 590 jumps;"), std::string::npos) << error;
    std::string fits;
    for (int j = 0; j < 300; j++)
        fits += "{x|a}";
    Parse(".title T\n.topic a A\n" + fits + "\n");
}
