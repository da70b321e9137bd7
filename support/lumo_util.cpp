// Stand-in for the host maker's liblumo: result-data allocation.
#include <cstdlib>
#include <cstring>

#include "abi/run_records.h"
#include "lumo.h"

void* lumo_util_alloc_bin_data(std::uint8_t type, std::uint8_t subtype, std::uint32_t value,
                               std::uint32_t size) {
    void* block = std::calloc(1, RESULT_DATA_HEADER_SIZE + std::size_t{size});
    if (block == nullptr)
        return nullptr;
    result_data_header header{};
    header.type = type;
    header.subtype = subtype;
    header.value = value;
    header.size = size;
    std::memcpy(block, &header, sizeof header);
    return block;
}
