// The texts of the string table, kept as the messages have always read (spelling included).
#include "model/string_table.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct Entry {
  UINT id;
  std::string_view text;
};

// Sorted by id.
constexpr std::array kStrings{
    Entry{StringId::kInvalidMeasurement,
          "This is not a measurement. Type a number, optionally followed by a unit such as in, cm or pt."},
    Entry{StringId::kCannotSaveInType,
          "This document cannot be saved in the format it was opened in.\n\nDo you want to save it in another "
          "format?"},
    Entry{StringId::kProportionalFace, "Times New Roman"},
    Entry{StringId::kFixedPitchFace, "Courier New"},
    Entry{StringId::kTextLosesFormatting,
          "Saving as text will lose all the formatting of this document.\n\nChoose Yes to save it as text, No to "
          "choose another format."},
    Entry{StringId::kFormattingWait, "Formatting... Please Wait."},
    Entry{StringId::kMeasurementRange, "The measurement must be between %1 and %2."},
    Entry{StringId::kWordSummaryCannotSave,
          "This Word document cannot be saved with its summary information.\n\nChoose Yes to save it as a Word for "
          "Windows 6.0 document, No to choose another format."},
    Entry{StringId::kDocTypeText, "Text Document\nText Documents (*.txt)\n*.txt\nText Document"},
    Entry{StringId::kDocTypeRtf, "Rich Text Format (RTF)\nRich Text Format (*.rtf)\n*.rtf\nRich Text Document"},
    Entry{StringId::kDocTypeWrite, "Windows Write\nWindows Write (*.wri)\n*.wri\nWrite Document"},
    Entry{StringId::kDocTypeAll, "All\nAll Documents (*.*)\n*.*"},
    Entry{StringId::kDocTypeWord6, "Word for Windows 6.0\nWord for Windows 6.0 (*.doc)\n*.doc\nWord Document"},
    Entry{StringId::kDocTypeWord2, "Word for Windows 2.0\nWord for Windows 2.0 (*.doc)\n*.doc"},
    Entry{StringId::kDocTypeExecutable, "Executable\nExecutable (*.exe)\n*.exe"},
    Entry{StringId::kDocTypeOemText,
          "Text Document - MS-DOS Format\nText Documents - MS-DOS Format (*.txt)\n*.txt\nMS-DOS Text Document"},
    Entry{StringId::kFinishedSearching, "Finished searching the text."},
    Entry{StringId::kCannotLoadFiles, "Can not load %1 files."},
    Entry{StringId::kTooManyOpenFiles, "Unable to open %1.  There are too many files already open."},
    Entry{StringId::kFolderFull,
          "Unable to create %1. This folder is full. Use another folder or delete some files from this folder."},
    Entry{StringId::kDocumentInUse, "The document %1 is in use by another application and cannot be accessed."},
    Entry{StringId::kSimulatorLibrary, "RMQSIM.DLL"},
    Entry{StringId::kFractalLibrary, "FIFDECO.DLL"},
    Entry{StringId::kPhotoCdLibrary, "PCDLIB32.DLL"},
    Entry{StringId::kSoundLibrary, "QTR_DS.DLL"},
    Entry{StringId::kAlignmentLeft, "Left"},
    Entry{StringId::kAlignmentLeft + 1, "Centre"},
    Entry{StringId::kAlignmentLeft + 2, "Right"},
    Entry{StringId::kColourBlack, "Black"},
    Entry{5701, "Maroon"},
    Entry{5702, "Green"},
    Entry{5703, "Olive"},
    Entry{5704, "Navy"},
    Entry{5705, "Purple"},
    Entry{5706, "Teal"},
    Entry{5707, "Gray"},
    Entry{5708, "Silver"},
    Entry{5709, "Red"},
    Entry{5710, "Lime"},
    Entry{5711, "Yellow"},
    Entry{5712, "Blue"},
    Entry{5713, "Fuchsia"},
    Entry{5714, "Aqua"},
    Entry{5715, "White"},
    Entry{StringId::kColourCustomized, "Customized"},
    Entry{StringId::kFractalError, "An error occured while loading Fractal image '%1'"},
    Entry{7020, "Fractal memory acclocation failed"},
    Entry{7050, "Fractal decompressor not initialized"},
    Entry{7051, "Fractal decompressor busy, cannot be initialized"},
    Entry{7055, "Fractal input is unknown"},
    Entry{7059, "Fractal FTT file in unknown or unsupported format ( i.e., not in FTT format )"},
    Entry{7060, "Fractal FTT file needed but not provided"},
    Entry{7061, "Fractal Wrong FTT file provided for FIF file"},
    Entry{7062, "Fractal input is unsupported"},
    Entry{7063, "No Fractal colour table found"},
    Entry{7069, "Input FIF file requires a newer version of the decompressor"},
    Entry{StringId::kCannotOpenFileQuoted, "Unable to open file '%1'"},
    Entry{StringId::kCannotPlayMetafile, "Couldn't play metafile"},
    Entry{StringId::kNotACourse, "'%1' is not a valid Velostra file."},
    Entry{StringId::kOldVersion, "'%1' is from a previous version of Velostra and will NOT be compatible."},
    Entry{StringId::kNewerVersion, "'%1' was created for a newer version of Velostra."},
    Entry{StringId::kNoBackup, "No backup file found."},
    Entry{StringId::kAskLoadBackup,
          "An error has occured in loading file '%1'.\n\nTavelon has detected a backup file, do you want to load "
          "this file?"},
    Entry{StringId::kBackupFailed,
          "An error has occured in loading the backup file '%1', please contact software supplier."},
    Entry{StringId::kPhotoCdCallFailed, "Call to Photo CD toolkit function failed."},
    Entry{StringId::kDdeInvalidParameter, "A DDE call was given an invalid service, topic or item name."},
    Entry{StringId::kUnableToOpenFile, "Unable to open file"},
    Entry{StringId::kNoFormatFilter, "File format filter DLL not found."},
    Entry{StringId::kFunctionNotFound, "Function: %1 not found in module %2"},
    Entry{StringId::kNotAMetafile, "This file is not a valid metafile"},
    Entry{StringId::kCannotReadMetafile, "Unable to read metafile"},
    Entry{StringId::kNoRemovableDrive, "The drive is missing or is not a removable drive."},
    Entry{StringId::kDiskNotWritable,
          "The disk in drive %1 cannot be written. Check that a disk is inserted and is not write-protected."},
    // The program that converts courses of the old format, looked for in the runtime's own folder.
    Entry{StringId::kConverterProgram, "tvnconv"},
    Entry{StringId::kQuartzFailed, "Sorry, the Quartz core components failed to initalise"},
    Entry{StringId::kCannotPlayClip, "Active Movie can't play the file '%1'"},
    Entry{StringId::kWideCourse, "'%1' was created for UNICODE and cannot be loading."},
    Entry{StringId::kDdeCannotStart, "Other programs cannot reach this program: its DDE service could not be started."},
    Entry{StringId::kDdeCannotConnect, "Unable to start a DDE conversation with '%1'."},
    Entry{StringId::kOpenTitle, "Open"},
    Entry{StringId::kSaveAsTitle, "Save As"},
    Entry{StringId::kSaveCopyAsTitle, "Save Copy As"},
    Entry{StringId::kInvalidFileName, "%1 is not a valid file name."},
    Entry{StringId::kFailedToOpen, "Failed to open %1."},
    Entry{StringId::kPrintFailed, "The page could not be printed: no printer is set up, or the printer could not be started."},
    Entry{StringId::kOutOfMemory, "Insufficient memory to perform operation."},
    Entry{StringId::kUnexpectedFormat, "Unexpected file format."},
    Entry{StringId::kFileNotFound,
          "%1\nCannot find this file.\nPlease verify that the correct path and file name are given."},
    Entry{StringId::kDiskFull, "Destination disk drive is full."},
    Entry{StringId::kReadSharing, "Unable to read from %1, it is opened by someone else."},
    Entry{StringId::kWriteReadOnly, "Unable to write to %1, it is read-only or opened by someone else."},
    Entry{StringId::kReadGeneric, "An unexpected error occurred while reading %1."},
    Entry{StringId::kWriteGeneric, "An unexpected error occurred while writing %1."},
    Entry{StringId::kMailCannotLoad, "The mail program cannot be found or started."},
    Entry{StringId::kMailMissingFunction, "The mail system lacks a function this program needs."},
    Entry{StringId::kMailSendFailed, "The mail could not be sent."},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table is kept sorted by id");

const Entry* Find(UINT id) {
  auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id, [](const Entry& e, UINT v) { return e.id < v; });
  return it != kStrings.end() && it->id == id ? &*it : nullptr;
}

}  // namespace

CString LoadStringText(UINT id) {
  const Entry* e = Find(id);
  return e ? CString(e->text) : CString();
}

bool HasStringText(UINT id) { return Find(id) != nullptr; }

CString FormatString1(const CString& pattern, const CString& argument) {
  // Left to right, so a "%1" inside the argument is never replaced again.
  std::string out;
  std::string_view text = pattern.view();
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find("%1", pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(argument.view());
    pos = hit + 2;
  }
  out.append(text.substr(pos));
  return CString(std::move(out));
}

CString FormatStringId1(UINT id, const CString& argument) { return FormatString1(LoadStringText(id), argument); }

CString FormatString2(const CString& pattern, const CString& first, const CString& second) {
  // Left to right, so a "%1" or "%2" inside an argument is never replaced again.
  std::string out;
  std::string_view text = pattern.view();
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = text.find('%', pos);
    if (hit == std::string_view::npos || hit + 1 >= text.size()) break;
    const char digit = text[hit + 1];
    if (digit != '1' && digit != '2') {
      out.append(text.substr(pos, hit + 1 - pos));
      pos = hit + 1;
      continue;
    }
    out.append(text.substr(pos, hit - pos));
    out.append(digit == '1' ? first.view() : second.view());
    pos = hit + 2;
  }
  out.append(text.substr(pos));
  return CString(std::move(out));
}
