// Fuzz target: a data archive's header, index and name list, then every listed file read.
#include "data/archive.h"
#include "fuzz_common.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto dir = fuzz::Scratch() / "archive";
    fuzz::WriteFile(dir / "data" / "DATA01.cfp", {data, size});
    TArchiveSet set;
    if (!set.Init(dir).Ok) return 0;
    TMemoryStream stream;
    for (const std::string& name : set.NameList(1)) set.Read(name, stream);
    set.Read("SysTitle.png", stream);
    return 0;
}
