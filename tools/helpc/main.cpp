// helpc SOURCE OUTPUT: compiles a help source into a WinHelp file. The
// output appears whole or not at all.
#include "hlp.h"

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: helpc SOURCE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    hlp::HelpSource source;
    std::string error;
    if (!hlp::ParseSource(text.str(), argv[1], source, error)) {
        fprintf(stderr, "%s\n", error.c_str());
        remove(argv[2]);   // no stale file to mistake for this one
        return 1;
    }
    hlp::Bytes file = hlp::BuildHelpFile(source);
    std::string temporary = std::string(argv[2]) + ".part";
    FILE *out = fopen(temporary.c_str(), "wb");
    bool written = out && fwrite(file.data(), 1, file.size(), out) == file.size();
    if (out && fclose(out) != 0)
        written = false;
    if (!written || rename(temporary.c_str(), argv[2]) != 0) {
        fprintf(stderr, "%s: cannot be written\n", argv[2]);
        remove(temporary.c_str());
        return 1;
    }
    return 0;
}
