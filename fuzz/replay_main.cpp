// Replays fuzz inputs (files named on the command line) through the fuzz target without libFuzzer,
// so that the saved corpus runs as an ordinary test with any compiler.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replayed %d inputs\n", argc - 1);
    return 0;
}
