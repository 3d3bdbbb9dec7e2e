// The MCI error numbers the media layer answers with (the platform's public numbers) and their texts.
#pragma once

#include "platform/base/win_types.h"

namespace MciError {
constexpr DWORD kNone = 0;
constexpr DWORD kInvalidDeviceId = 257;
constexpr DWORD kUnrecognizedKeyword = 259;
constexpr DWORD kUnrecognizedCommand = 261;
constexpr DWORD kHardware = 262;
constexpr DWORD kInvalidDeviceName = 263;
constexpr DWORD kOutOfMemory = 264;
constexpr DWORD kDeviceOpen = 265;
constexpr DWORD kCannotLoadDriver = 266;
constexpr DWORD kMissingCommandString = 267;
constexpr DWORD kBadInteger = 270;
constexpr DWORD kMissingParameter = 273;
constexpr DWORD kUnsupportedFunction = 274;
constexpr DWORD kFileNotFound = 275;
constexpr DWORD kDeviceNotReady = 276;
constexpr DWORD kInternal = 277;
constexpr DWORD kCannotUseAll = 279;
constexpr DWORD kOutOfRange = 282;
constexpr DWORD kDuplicateAlias = 289;
constexpr DWORD kBadConstant = 290;
constexpr DWORD kMissingDeviceName = 292;
constexpr DWORD kBadTimeFormat = 293;
constexpr DWORD kNoClosingQuote = 294;
constexpr DWORD kInvalidFile = 296;
constexpr DWORD kNoElementAllowed = 301;
constexpr DWORD kFilenameRequired = 304;
constexpr DWORD kExtraCharacters = 305;
constexpr DWORD kWaveInputsUnsuitable = 328;  // no capture device records the format
constexpr DWORD kNoDisplayWindow = 346;  // no window of the program has that number
constexpr DWORD kFileWrite = 349;
}  // namespace MciError

// Our own text for an MCI error number; null for a number we never answer with.
const char* MciErrorText(DWORD code);
