// The plain-text help source:
//   # comment
//   .title File title
//   .contents context          (optional; the first topic otherwise)
//   .topic context Topic title
//   .keyword Keyword text      (belongs to the topic above it)
//   Paragraph lines, joined with blanks; a blank line ends a paragraph.
//   {shown text|context} is a jump to another topic.
#include "hlp.h"

#include <map>
#include <sstream>

namespace hlp {

namespace {

struct Parser {
    std::string file;
    HelpSource *out;
    std::string error;
    int title_line = 0, contents_line = 0;
    std::map<std::string, int> context_lines;
    std::vector<std::pair<std::string, int>> jumps;
    std::string paragraph;
    int paragraph_line = 0;

    bool Fail(int line, const std::string &message)
    {
        std::ostringstream text;
        text << file << ":" << line << ": " << message;
        error = text.str();
        return false;
    }

    bool CheckLength(int line, const std::string &what, const std::string &text, size_t limit)
    {
        if (text.size() <= limit)
            return true;
        return Fail(line, what + " is " + std::to_string(text.size()) + " characters long; at most " +
                              std::to_string(limit) + " fit");
    }

    bool EndParagraph()
    {
        if (paragraph.empty())
            return true;
        int line = paragraph_line;
        if (!CheckLength(line, "the paragraph", paragraph, MAX_PARAGRAPH))
            return false;
        Paragraph spans;
        size_t at = 0;
        while (at < paragraph.size()) {
            size_t open = paragraph.find('{', at);
            if (open == std::string::npos) {
                spans.push_back({ paragraph.substr(at), "" });
                break;
            }
            if (open > at)
                spans.push_back({ paragraph.substr(at, open - at), "" });
            size_t close = paragraph.find('}', open);
            size_t bar = paragraph.find('|', open);
            if (close == std::string::npos || bar == std::string::npos || bar > close)
                return Fail(line, "a jump must read {shown text|context}");
            std::string shown = paragraph.substr(open + 1, bar - open - 1);
            std::string target = paragraph.substr(bar + 1, close - bar - 1);
            if (shown.empty())
                return Fail(line, "a jump to \"" + target + "\" shows no text");
            if (!IsContextName(target))
                return Fail(line, "\"" + target + "\" is not a context name (letters, digits, '.', '_')");
            spans.push_back({ shown, target });
            jumps.push_back({ target, line });
            at = close + 1;
        }
        size_t record = ParagraphRecordSize(spans), jump_count = 0;
        for (const Span &span : spans)
            jump_count += !span.jump.empty();
        if (record > MAX_PARAGRAPH_RECORD)
            return Fail(line, "the paragraph takes " + std::to_string(record) + " bytes with its " +
                                  std::to_string(jump_count) + " jumps; at most " +
                                  std::to_string(MAX_PARAGRAPH_RECORD) + " fit one topic block");
        out->topics.back().paragraphs.push_back(spans);
        paragraph.clear();
        return true;
    }

    bool Directive(int line, const std::string &name, const std::string &rest)
    {
        if (name == ".title") {
            if (rest.empty())
                return Fail(line, ".title needs the help file's title");
            if (title_line)
                return Fail(line, "a second .title (the first is on line " + std::to_string(title_line) + ")");
            if (!CheckLength(line, "the title", rest, MAX_TITLE))
                return false;
            out->title = rest;
            title_line = line;
            return true;
        }
        if (name == ".contents") {
            if (!IsContextName(rest))
                return Fail(line, ".contents needs the context name of a topic");
            out->contents = rest;
            contents_line = line;
            return true;
        }
        if (name == ".topic") {
            size_t blank = rest.find(' ');
            std::string context = rest.substr(0, blank);
            std::string title = blank == std::string::npos ? "" : rest.substr(rest.find_first_not_of(' ', blank));
            if (!IsContextName(context))
                return Fail(line, ".topic needs a context name (letters, digits, '.', '_') and a title");
            if (!CheckLength(line, "the context name", context, MAX_CONTEXT))
                return false;
            if (title.empty())
                return Fail(line, "topic \"" + context + "\" has no title");
            if (!CheckLength(line, "the title", title, MAX_TITLE))
                return false;
            for (auto &known : context_lines) {
                if (ContextHash(known.first) == ContextHash(context)) {
                    std::string first = "line " + std::to_string(known.second);
                    if (known.first.size() == context.size() &&
                        std::equal(known.first.begin(), known.first.end(), context.begin(),
                                   [](char a, char b) { return tolower(a) == tolower(b); }))
                        return Fail(line, "context \"" + context + "\" is already used on " + first);
                    return Fail(line, "context \"" + context + "\" has the same hash as \"" + known.first +
                                          "\" on " + first);
                }
            }
            context_lines[context] = line;
            Topic topic;
            topic.context = context;
            topic.title = title;
            topic.line = line;
            out->topics.push_back(topic);
            return true;
        }
        if (name == ".keyword") {
            if (rest.empty())
                return Fail(line, ".keyword needs the keyword's text");
            if (out->topics.empty())
                return Fail(line, "keyword \"" + rest + "\" names no topic: put it below a .topic line");
            if (!CheckLength(line, "the keyword", rest, MAX_KEYWORD))
                return false;
            for (const std::string &k : out->topics.back().keywords)
                if (k == rest)
                    return Fail(line, "keyword \"" + rest + "\" is given twice for this topic");
            out->topics.back().keywords.push_back(rest);
            return true;
        }
        return Fail(line, "unknown directive " + name);
    }

    bool Line(int line, std::string text)
    {
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
            text.pop_back();
        for (unsigned char c : text)
            if (c >= 0x80 || (c < 0x20 && c != '\t'))
                return Fail(line, "only plain ASCII text can be shown");
        if (!text.empty() && text[0] == '#')
            return true;
        if (text.empty())
            return EndParagraph();
        if (text[0] == '.') {
            if (!EndParagraph())
                return false;
            size_t blank = text.find(' ');
            std::string name = text.substr(0, blank);
            std::string rest = blank == std::string::npos ? "" : text.substr(text.find_first_not_of(' ', blank));
            return Directive(line, name, rest);
        }
        if (out->topics.empty())
            return Fail(line, "text before the first .topic");
        size_t start = text.find_first_not_of(" \t");
        if (paragraph.empty())
            paragraph_line = line;
        else
            paragraph += ' ';
        paragraph += text.substr(start);
        return true;
    }

    bool Finish(int last_line)
    {
        if (!EndParagraph())
            return false;
        if (!title_line)
            return Fail(1, "the help file has no .title");
        if (out->topics.empty())
            return Fail(last_line, "the help file has no .topic");
        for (const Topic &t : out->topics)
            if (t.paragraphs.empty())
                return Fail(t.line, "topic \"" + t.context + "\" has no text");
        for (auto &jump : jumps)
            if (!context_lines.count(jump.first))
                return Fail(jump.second, "the jump to \"" + jump.first + "\" names no topic");
        if (!out->contents.empty() && !context_lines.count(out->contents))
            return Fail(contents_line, ".contents \"" + out->contents + "\" names no topic");
        return true;
    }
};

} // namespace

bool ParseSource(const std::string &text, const std::string &file_name, HelpSource &out, std::string &error)
{
    out = HelpSource();
    Parser parser;
    parser.file = file_name;
    parser.out = &out;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        number++;
        if (!parser.Line(number, line)) {
            error = parser.error;
            return false;
        }
    }
    if (!parser.Finish(number)) {
        error = parser.error;
        return false;
    }
    return true;
}

} // namespace hlp
