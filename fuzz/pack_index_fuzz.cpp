// The resource pack index on any bytes: what was parsed serialises and parses to the same records.
#include "core/packindex.h"
#include "fuzz/fuzz_support.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::vector<PackRecord> records = parsePackIndex(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<PackRecord> again = parsePackIndex(serialisePackIndex(records));
    require(records.size() == again.size(), "the record count survives");
    for (size_t i = 0; i < records.size(); ++i) {
        require(records[i].offset == again[i].offset && records[i].size == again[i].size &&
                    records[i].name == again[i].name,
                "every record survives");
    }
    return 0;
}
