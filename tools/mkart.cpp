// Build-time tool: turns a text pixel map into a 16-colour .ico or .bmp.
// One character a pixel: 0-9 and a-f index the standard 16-colour palette,
// '.' is transparent (icons only), 'X' is the body colour and 'x' its shade,
// both given on the command line.
//   mkart ico MAP OUT BODY SHADE
//   mkart bmp MAP OUT
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

static const uint8_t Palette[16][3] = {   // r, g, b
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},
    {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

static int Index(char c, int body, int shade)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c == 'X') return body;
    if (c == 'x') return shade;
    return -1;
}

static void Put16(std::string &s, unsigned v) { s += char(v & 255); s += char(v >> 8 & 255); }
static void Put32(std::string &s, unsigned v) { Put16(s, v & 0xFFFF); Put16(s, v >> 16); }

static std::string Dib(const std::vector<std::string> &rows, int body, int shade, bool icon)
{
    int w = int(rows[0].size()), h = int(rows.size());
    std::string s;
    Put32(s, 40); Put32(s, w); Put32(s, icon ? 2 * h : h);
    Put16(s, 1); Put16(s, 4); Put32(s, 0);
    int xor_stride = ((w * 4 + 31) / 32) * 4, and_stride = ((w + 31) / 32) * 4;
    Put32(s, xor_stride * h + (icon ? and_stride * h : 0));
    Put32(s, 0); Put32(s, 0); Put32(s, 16); Put32(s, 0);
    for (auto &c : Palette) { s += char(c[2]); s += char(c[1]); s += char(c[0]); s += char(0); }
    for (int y = h - 1; y >= 0; y--) {
        std::string line(xor_stride, '\0');
        for (int x = 0; x < w; x++) {
            int i = Index(rows[y][x], body, shade);
            if (i < 0) i = 0;
            line[x / 2] |= char(x % 2 ? i : i << 4);
        }
        s += line;
    }
    if (icon) {
        for (int y = h - 1; y >= 0; y--) {
            std::string line(and_stride, '\0');
            for (int x = 0; x < w; x++)
                if (Index(rows[y][x], body, shade) < 0) line[x / 8] |= char(0x80 >> (x % 8));
            s += line;
        }
    }
    return s;
}

int main(int argc, char **argv)
{
    if (argc < 4) { fprintf(stderr, "usage: mkart ico|bmp MAP OUT [BODY SHADE]\n"); return 2; }
    std::string kind = argv[1];
    std::ifstream in(argv[2]);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) rows.push_back(line);
    if (rows.empty()) { fprintf(stderr, "%s: empty pixel map\n", argv[2]); return 1; }
    for (size_t y = 0; y < rows.size(); y++) {
        if (rows[y].size() != rows[0].size()) {
            fprintf(stderr, "%s:%zu: row has %zu pixels, the first has %zu\n", argv[2], y + 1,
                    rows[y].size(), rows[0].size());
            return 1;
        }
        for (char c : rows[y])
            if (Index(c, 0, 0) < 0 && c != '.') {
                fprintf(stderr, "%s:%zu: unknown pixel '%c'\n", argv[2], y + 1, c);
                return 1;
            }
    }
    int body = argc > 4 ? std::stoi(argv[4], nullptr, 16) : 7;
    int shade = argc > 5 ? std::stoi(argv[5], nullptr, 16) : 8;
    std::string out;
    if (kind == "ico") {
        std::string dib = Dib(rows, body, shade, true);
        Put16(out, 0); Put16(out, 1); Put16(out, 1);
        out += char(rows[0].size()); out += char(rows.size()); out += char(16); out += char(0);
        Put16(out, 1); Put16(out, 4); Put32(out, unsigned(dib.size())); Put32(out, 22);
        out += dib;
    } else if (kind == "bmp") {
        std::string dib = Dib(rows, body, shade, false);
        out = "BM";
        Put32(out, unsigned(14 + dib.size())); Put32(out, 0); Put32(out, 14 + 40 + 64);
        out += dib;
    } else {
        fprintf(stderr, "mkart: unknown kind %s\n", kind.c_str());
        return 2;
    }
    std::ofstream(argv[3], std::ios::binary) << out;
    return 0;
}
