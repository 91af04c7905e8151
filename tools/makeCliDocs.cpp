// Writes the manual page or the bash completion of vellora-cli, made from its own tables:
// makeCliDocs man|bash OUTPUT.
#include "cli/cliDocs.h"

#include <cstdio>
#include <fstream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: makeCliDocs man|bash OUTPUT\n", stderr);
        return 2;
    }
    const std::string_view kind = argv[1];
    if (kind != "man" && kind != "bash") {
        std::fprintf(stderr, "makeCliDocs: unknown kind \"%s\"\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << (kind == "man" ? vellora::cli::manPage() : vellora::cli::bashCompletion());
    out.close();
    if (!out) {
        std::fprintf(stderr, "makeCliDocs: cannot write \"%s\"\n", argv[2]);
        return 1;
    }
    return 0;
}
