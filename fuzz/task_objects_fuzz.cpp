// Fuzzes the readers of the objects a task owns: the first byte picks what the
// stream holds (font descriptions inline, key descriptions inline, or objects
// such as action lists), the second the course file version. What was read
// is then used the way the runtime uses it.
#include <cstdint>
#include <vector>

#include "behaviour/action_manager.h"
#include "behaviour/keyboard.h"
#include "model/archive.h"
#include "model/font_object.h"

namespace {

void UseFont(CFontObject& font) {
  font.SetPointSize(1);
  font.CreateFont(2, 90);
}

void UseKeyboard(const CKeyboard& keys) {
  for (UINT key : {0u, 13u, 0x59u, 123u, 0x159u}) {
    keys.Match(key, 0, KeyModifiers{});
    keys.Match(key, 0, KeyModifiers{true, true, true});
  }
}

void UseObject(CObject* obj) {
  if (auto* actions = DynamicDowncast<CActionManager>(obj)) actions->RunActions();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  CMemFile file(data + 2, size - 2);
  try {
    CArchive ar(file);
    ar.SetCourseVersion(3 + data[1] % 3);
    while (ar.BytesRemaining() > 0) {
      switch (data[0] % 3) {
        case 0: {
          CFontObject font;
          font.Serialize(ar);
          UseFont(font);
          break;
        }
        case 1: {
          CKeyboard keys;
          keys.Serialize(ar);
          UseKeyboard(keys);
          break;
        }
        default:
          UseObject(ar.ReadObject(RUNTIME_CLASS(CObject)));
          break;
      }
    }
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {
  } catch (const CMemoryException&) {
  }
  return 0;
}
