// The guard around SDL's keyboard look-ups on Wayland: questions about a
// keyboard whose layout has not come get empty answers, the rest the
// library's own.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// A key sender's keymap: one key, number 9, that types 2, in one layout.
constexpr const char *kSenderKeymap = R"(xkb_keymap {
  xkb_keycodes "sender" { minimum = 8; maximum = 255; <K9> = 9; };
  xkb_types "sender" { type "ONE_LEVEL" { modifiers = none; level_name[Level1] = "Any"; }; };
  xkb_compatibility "sender" { };
  xkb_symbols "sender" { key <K9> { [ 2 ] }; };
};)";

class SenderKeymap : public testing::Test {
protected:
  void SetUp() override {
    context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    ASSERT_NE(context, nullptr);
    keymap = xkb_keymap_new_from_string(context, kSenderKeymap, XKB_KEYMAP_FORMAT_TEXT_V1,
                                        XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(keymap, nullptr);
  }
  void TearDown() override {
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
  }
  xkb_context *context = nullptr;
  xkb_keymap *keymap = nullptr;
};

TEST_F(SenderKeymap, KeysLookedUpInLayoutNoneHaveNoSymbols) {
  const xkb_keysym_t *symbols = nullptr;
  EXPECT_EQ(xkb_keymap_key_get_syms_by_level(keymap, 9, XKB_LAYOUT_INVALID, 0, &symbols), 0);
  EXPECT_EQ(symbols, nullptr);
}

TEST_F(SenderKeymap, KeysLookedUpInTheirLayoutAreTheLibrarysAnswer) {
  const xkb_keysym_t *symbols = nullptr;
  ASSERT_EQ(xkb_keymap_key_get_syms_by_level(keymap, 9, 0, 0, &symbols), 1);
  EXPECT_EQ(symbols[0], XKB_KEY_2);
  int keys = 0;
  xkb_keymap_key_for_each(
      keymap, [](xkb_keymap *, xkb_keycode_t, void *count) { ++*static_cast<int *>(count); },
      &keys);
  EXPECT_EQ(keys, 1); // the one key it has
}

TEST(KeyboardWithoutKeymap, ModifiersAndKeyWalksChangeNothing) {
  EXPECT_EQ(xkb_state_update_mask(nullptr, 1, 0, 0, 0, 0, 0), 0);
  const xkb_keysym_t *symbols = nullptr;
  EXPECT_EQ(xkb_keymap_key_get_syms_by_level(nullptr, 9, 0, 0, &symbols), 0);
  int keys = 0;
  xkb_keymap_key_for_each(
      nullptr, [](xkb_keymap *, xkb_keycode_t, void *count) { ++*static_cast<int *>(count); },
      &keys);
  EXPECT_EQ(keys, 0);
}

} // namespace
