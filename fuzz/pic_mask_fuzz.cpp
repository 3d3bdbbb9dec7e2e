// Fuzzes the picture-mask model: any mask and prompt, then keys, characters,
// pastes, cuts and undos; after every step the display text is as long as
// the mask and every input position holds the prompt or a character its
// letter accepts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "behaviour/pic_mask.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/mask_display.h"
#include "platform/msg/window_messages.h"

namespace {

struct QuietSite final : IPicMaskSite {
  void ShowText(const CString&) override {}
  void ShowSelection(int, int) override {}
  void Beep() override {}
  void FocusNextControl() override {}
  void FocusPrevControl() override {}
};

constexpr UINT kKeys[] = {VK_BACK, VK_DELETE, VK_END, VK_HOME, VK_LEFT, VK_RIGHT, VK_INSERT, 'A', VK_RETURN, VK_TAB};

void Check(const CPicMask& mask) {
  if (!mask.HasMask()) return;
  if (!ShowsWhatTheMaskAllows(mask, mask.GetDisplayText())) std::abort();
  if (mask.SelStart() < 0 || mask.SelEnd() > mask.GetLength() || mask.SelStart() > mask.SelEnd()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in{data, size};
  QuietSite site;
  CPicMask mask(site);
  mask.SetPromptChar(static_cast<char>(in.Byte()));
  mask.SetMaskString(CString(in.Text()));
  mask.SetInsertAllowed(true);
  mask.SetAutoAdvance(true);
  Check(mask);
  while (in.More()) {
    const std::uint8_t op = in.Byte();
    switch (op % 9) {
      case 0: {
        const std::uint8_t key = in.Byte();
        mask.KeyDown(kKeys[key % std::size(kKeys)], (key & 0x80) != 0);
        break;
      }
      case 1:
        mask.KeyDown('A', false);
        mask.Char(in.Byte());
        break;
      case 2:
        mask.Paste(CString(in.Text()));
        break;
      case 3:
        mask.Undo();
        break;
      case 4: {
        const int length = mask.GetLength() + 1;
        mask.SetSelection(in.Byte() % length, in.Byte() % length);
        break;
      }
      case 5:
        mask.SetInsertMode(!mask.IsInsertMode());
        break;
      case 6:
        mask.SetPromptChar(static_cast<char>(in.Byte()));
        break;
      case 7:
        mask.Cut();
        break;
      default: {
        const std::uint8_t how = in.Byte();
        mask.SetData(CString(in.Text()), how % (mask.GetLength() + 1), how & 0x40, how & 0x80);
        break;
      }
    }
    Check(mask);
  }
  mask.GetDataText(TRUE);
  return 0;
}
