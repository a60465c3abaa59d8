#include <gtest/gtest.h>

#include <cstdio>

#include "Artifacts.h"
#include "common/ScratchDirectory.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!Artifacts::Mutable().Parse(argc, argv)) {
        std::fprintf(stderr,
                     "usage: e2e_tests --vorlund=EXE --hooklib=DLL --recording-hooklib=DLL --no-exports-hooklib=DLL "
                     "--probe=EXE --fake-browser=EXE --work=DIR\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
