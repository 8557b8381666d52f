// The shipped library, loaded the way an outside program would: by file
// name, the export found by its plain name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/dc.h"
#include "platform/dib.h"

namespace plk {
namespace {

using StretchedOutputFn = std::uintptr_t (*)(Dc*, const Bitmap*, const Palette*, std::int32_t, std::int32_t,
                                             std::int32_t, std::int32_t);

TEST(RastoutLibrary, LoadsAndDrawsByName) {
    const std::string path = std::string(PLK_BIN_DIR) + "/librastout.so";
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto fn = reinterpret_cast<StretchedOutputFn>(dlsym(lib, "StretchedOutput"));
    ASSERT_NE(fn, nullptr) << "StretchedOutput is not exported by that name";
    // The steps behind it stay inside.
    EXPECT_EQ(dlsym(lib, "_ZN3plk7rastout13bitmap_to_dibEPKNS_6BitmapEjtPKNS_7PaletteE"), nullptr);

    Bitmap src(2, 1, 24);
    src.set_pixel(0, 0, rgb(255, 0, 0));
    src.set_pixel(1, 0, rgb(0, 0, 255));
    Bitmap target(4, 2, 32);
    Dc dc(target);
    const std::size_t blocks = mem_outstanding();
    EXPECT_EQ(fn(&dc, &src, nullptr, 0, 0, 4, 2), 0u);
    EXPECT_EQ(mem_outstanding(), blocks);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(target.pixel(1, y), rgb(255, 0, 0));
        EXPECT_EQ(target.pixel(2, y), rgb(0, 0, 255));
    }
    dlclose(lib);
}

}  // namespace
}  // namespace plk
