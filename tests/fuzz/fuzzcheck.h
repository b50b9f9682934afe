#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one aborts, so that libFuzzer keeps the input and
// the replay of the kept inputs fails.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size);
