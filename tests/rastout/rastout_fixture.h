#pragma once
// Shared pieces of the rastout tests: a fixture that checks nothing is left
// behind, and helpers to read a packed DIB out of a block.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/dib.h"

namespace plk::test {

// Every test starts and ends with no blocks, no screen contexts and no
// palettes left selected, and with the allocation hook cleared.
class RastoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_mem_hook({});
        blocks_before_ = mem_outstanding();
        leaks_before_ = screen_dc_palette_leaks();
    }
    void TearDown() override {
        set_mem_hook({});
        EXPECT_EQ(mem_outstanding(), blocks_before_) << "memory blocks left behind";
        EXPECT_EQ(screen_dcs_outstanding(), 0) << "screen contexts not released";
        EXPECT_EQ(screen_dc_palette_leaks(), leaks_before_) << "palette not put back";
    }

private:
    std::size_t blocks_before_ = 0;
    int leaks_before_ = 0;
};

// A copy of a block's bytes; the block stays as it is.
inline std::vector<std::uint8_t> block_bytes(MemHandle h) {
    std::vector<std::uint8_t> out(mem_size(h));
    const void* p = mem_lock(h);
    if (p != nullptr && !out.empty()) std::memcpy(out.data(), p, out.size());
    mem_unlock(h);
    return out;
}

inline DibInfoHeader info_header_of(const std::vector<std::uint8_t>& bytes) {
    DibInfoHeader h{};
    h.size = 0;
    if (bytes.size() >= sizeof h) std::memcpy(&h, bytes.data(), sizeof h);
    return h;
}

}  // namespace plk::test
