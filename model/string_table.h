// The runtime's string table: message texts by string id, and "%1" formatting.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/sys/file_error_messages.h"

namespace StringId {
// The rich-text editor.
constexpr UINT kCannotSaveInType = 106;
constexpr UINT kProportionalFace = 109;
constexpr UINT kFixedPitchFace = 111;
constexpr UINT kTextLosesFormatting = 112;
constexpr UINT kFormattingWait = 115;
constexpr UINT kWordSummaryCannotSave = 126;
constexpr UINT kFinishedSearching = 164;
constexpr UINT kOpenTitle = 61440;
constexpr UINT kSaveAsTitle = 61441;
constexpr UINT kSaveCopyAsTitle = 61444;
// Document types of rich text: name, filter description, pattern, document name.
constexpr UINT kDocTypeText = 129;
constexpr UINT kDocTypeRtf = 130;
constexpr UINT kDocTypeWrite = 131;
constexpr UINT kDocTypeAll = 132;
constexpr UINT kDocTypeWord6 = 133;
constexpr UINT kDocTypeWord2 = 134;
constexpr UINT kDocTypeExecutable = 135;
constexpr UINT kDocTypeOemText = 137;
constexpr UINT kCannotLoadFiles = 179;
// Measurements typed into dialogs.
constexpr UINT kInvalidMeasurement = 103;
constexpr UINT kMeasurementRange = 119;  // "%1" and "%2": the bounds
// Paragraph alignments 3400-3402 ("Left", "Centre", "Right"), in the order of the paragraph dialog's list.
constexpr UINT kAlignmentLeft = 3400;
// Names of the editor's text colours, one per colour-menu id 5700-5716.
constexpr UINT kColourBlack = 5700;
constexpr UINT kColourCustomized = 5716;
// Framework messages.
constexpr UINT kTooManyOpenFiles = 180;
constexpr UINT kFolderFull = 181;
constexpr UINT kDocumentInUse = 182;
constexpr UINT kInvalidFileName = 61696;
constexpr UINT kFailedToOpen = 61697;
constexpr UINT kPrintFailed = 61702;
constexpr UINT kOutOfMemory = 61706;
constexpr UINT kUnexpectedFormat = 61728;
// The file-error messages, kFileNotFound to kWriteGeneric.
using namespace tvn::sys::FileErrorMessage;
// Course files.
constexpr UINT kNotACourse = 8038;
constexpr UINT kOldVersion = 8039;
constexpr UINT kNewerVersion = 8040;
constexpr UINT kWideCourse = 8330;
constexpr UINT kNoBackup = 8089;
constexpr UINT kAskLoadBackup = 8090;
constexpr UINT kBackupFailed = 8091;
constexpr UINT kConverterProgram = 8231;
// Packed data file.
constexpr UINT kUnableToOpenFile = 8148;
// Read, write and library actions.
constexpr UINT kCannotOpenFileQuoted = 8005;
constexpr UINT kFunctionNotFound = 8197;
constexpr UINT kSimulatorLibrary = 2001;
// Pictures.
constexpr UINT kFractalLibrary = 2006;
constexpr UINT kPhotoCdLibrary = 2009;
constexpr UINT kFractalError = 7000;  // 7000 + n: the fractal decoder's error n
constexpr UINT kCannotPlayMetafile = 8013;
constexpr UINT kPhotoCdCallFailed = 8107;
constexpr UINT kNoFormatFilter = 8170;
constexpr UINT kNotAMetafile = 8198;
constexpr UINT kCannotReadMetafile = 8199;
// DDE and mail.
constexpr UINT kDdeInvalidParameter = 8137;
constexpr UINT kDdeCannotStart = 8345;
constexpr UINT kDdeCannotConnect = 8346;
constexpr UINT kMailCannotLoad = 61840;
constexpr UINT kMailMissingFunction = 61841;
constexpr UINT kMailSendFailed = 61842;
// Media.
constexpr UINT kSoundLibrary = 2019;
constexpr UINT kQuartzFailed = 8271;
constexpr UINT kCannotPlayClip = 8272;
// Diskette check.
constexpr UINT kNoRemovableDrive = 8211;
constexpr UINT kDiskNotWritable = 8212;
}  // namespace StringId

// The text of a string id; an empty text for an id the table does not hold.
CString LoadStringText(UINT id);
// Whether the table holds the id.
bool HasStringText(UINT id);

// Replaces every "%1" of the pattern with the argument.
CString FormatString1(const CString& pattern, const CString& argument);
// The text of the id with its "%1" replaced.
CString FormatStringId1(UINT id, const CString& argument);
// Replaces every "%1" and "%2" of the pattern in one pass.
CString FormatString2(const CString& pattern, const CString& first, const CString& second);
