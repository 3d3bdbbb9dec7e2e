// The texts of the MCI error numbers, in the media layer's own words.
#include "platform/mm/mci_errors.h"

#include <algorithm>
#include <array>

namespace {

struct Entry {
  DWORD code;
  const char* text;
};

constexpr std::array kTexts{
    Entry{MciError::kInvalidDeviceId, "The device id is not that of an open device."},
    Entry{MciError::kUnrecognizedKeyword, "The command holds a word the device does not know."},
    Entry{MciError::kUnrecognizedCommand, "The command is not one the device knows."},
    Entry{MciError::kHardware, "The sound device failed."},
    Entry{MciError::kInvalidDeviceName, "No device of that name is open or known."},
    Entry{MciError::kOutOfMemory, "There is not enough memory for the medium."},
    Entry{MciError::kDeviceOpen, "A device of that name is open already."},
    Entry{MciError::kCannotLoadDriver, "The device cannot be started."},
    Entry{MciError::kMissingCommandString, "The command is empty."},
    Entry{MciError::kBadInteger, "A number in the command cannot be read."},
    Entry{MciError::kMissingParameter, "The command lacks a value it needs."},
    Entry{MciError::kUnsupportedFunction, "The device cannot do that."},
    Entry{MciError::kFileNotFound, "The medium's file cannot be found."},
    Entry{MciError::kDeviceNotReady, "The device is not ready."},
    Entry{MciError::kInternal, "The media layer failed inside."},
    Entry{MciError::kCannotUseAll, "\"all\" cannot name the device of this command."},
    Entry{MciError::kOutOfRange, "A position lies outside the medium."},
    Entry{MciError::kDuplicateAlias, "That alias names an open device already."},
    Entry{MciError::kBadConstant, "A value in the command is not one the device knows."},
    Entry{MciError::kMissingDeviceName, "The command names no device."},
    Entry{MciError::kBadTimeFormat, "The device does not know that time format."},
    Entry{MciError::kNoClosingQuote, "A quoted name has no closing quote."},
    Entry{MciError::kInvalidFile, "The file is not a medium the device can play."},
    Entry{MciError::kNoElementAllowed, "The device opens without a file."},
    Entry{MciError::kFilenameRequired, "The command needs a file name."},
    Entry{MciError::kExtraCharacters, "The command has words past its end."},
    Entry{MciError::kWaveInputsUnsuitable, "No sound input can record in this format."},
    Entry{MciError::kNoDisplayWindow, "No window of the program has that number to show the picture in."},
    Entry{MciError::kFileWrite, "The file cannot be written."},
};

}  // namespace

const char* MciErrorText(DWORD code) {
  auto it = std::find_if(kTexts.begin(), kTexts.end(), [code](const Entry& e) { return e.code == code; });
  return it == kTexts.end() ? nullptr : it->text;
}
