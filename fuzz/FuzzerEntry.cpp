// libFuzzer's entry for the program of one target, named when the program is built.
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fuzz::TargetFunction run = fuzz::FindTarget(PD_FUZZ_TARGET_NAME);
    if (!run) fuzz::Fail("target " PD_FUZZ_TARGET_NAME " is linked in", __FILE__, __LINE__);
    run(data, size);
    return 0;
}
