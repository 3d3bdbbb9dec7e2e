// The texts of setup, autorun and uninstal by string id.
#include "setuptools/common/setup_strings.h"

#include <string_view>

namespace {

struct Entry {
  UINT id;
  std::string_view text;
};

// Texts the programs share.
constexpr Entry kShared[] = {
    {449, "A newer version of '%1' has been detected.\n\nDo you wish to replace it?"},
    {454, "A mismatch has occured for file '%1'.\n\nDo you wish to replace the old file?"},
    {457, "Unable to run program:\n%1"},
    {406, "Insufficient disk space; exit the installation and delete one or more files to increase available disk "
          "space.\n"},
    {20000, "DOS Error #%d"},
    {20002, "File not found; unable to copy file"},
    {20003, "Path not found; unable to copy file"},
    {20004, "Too many open files"},
    {20005, "The file to be replaced has returned an access violation"},
    {20008, "Insufficient memory"},
    {20015, "Disk drive invalid"},
    {20019, "The file to be replaced is write-protected"},
    {20029, "Write error; unable to copy file"},
    {20032, "The file to be replaced is in use by Windows"},
    {20033, "The file to be replaced has returned a share violation"},
    {61706, "Insufficient memory to perform operation."},
    {61729, "%1\nCannot find this file.\nPlease verify that the correct path and file name are given."},
    {61730, "Destination disk drive is full."},
    {61731, "Unable to read from %1, it is opened by someone else."},
    {61732, "Unable to write to %1, it is read-only or opened by someone else."},
    {61733, "An unexpected error occurred while reading %1."},
    {61734, "An unexpected error occurred while writing %1."},
};

constexpr Entry kSetup[] = {
    {401, "Cannot find the INSTALL.INF file necessary to run the installation; check to ensure that the file is in "
          "the same directory as the SETUP.EXE."},
    {402, "Insufficient memory to run Install; close one or more Windows applications to increase available memory "
          "and try again."},
    {403, "Cannot find DUNZIP.DLL necessary to complete the installation; check to ensure that the file is in the "
          "same directory as the SETUP.EXE."},
    {411, "Application installation is not yet complete.\nAre you sure you want to exit?"},
    {414, "Insufficent disk space on specified destination drive.\n%ld bytes are required for this installation."},
    {417, "Application installation complete."},
    {420, "Unable to run custom install program"},
    {435, "Incomplete Installation!\n\nPlease try again or contact your software supplier."},
    {441, "%1\nCannot open this file.\nPlease verify that you have the correct access rights."},
    {442, "%1\nUnable to create directory, check its a valid directory name and you have the correct access rights."},
    {443, "Unable to communicate with Program Manager"},
    {444, "DDEML initialization failure."},
    {445, "[deletegroup(%1)]"},
    {446, "[creategroup(%1)]"},
    {447, "[showgroup(%1,1)]"},
    {448, "[showgroup(%1,2)]"},
    {459, "[deleteitem(%1)]"},
    {460, "[reload(%1)]"},
    {452, "Setup was unable to create the %1 data source."},
    {455, "Setup needs to Restart Windows before this application will run.\n\nPress OK to Restart Windows or Cancel "
          "to return to Windows."},
    {458, "[dialog]\r\n\tcaption = \"'%1' Uninstaller\"\r\n"
          "\ttext1 = \"The '%2' installation will be removed from your hard disk.\"\r\n\r\n[default.files]"},
    {57344, "Install Application"},
};

constexpr Entry kAutorun[] = {
    {401, "Cannot find the INSTALL.INF file necessary to run the presentation; check to ensure that the file is in "
          "the same directory as the AUTORUN.EXE."},
    {402, "Insufficient memory to run Install; close one or more Windows applications to increase available memory "
          "and try again."},
    {455, "Autorun needs to Restart Windows before Tavelon will run.\n\nPress OK to Restart Windows or Cancel to "
          "return to Windows."},
    {57344, "Tavelon Autorun"},
};

constexpr Entry kUninstal[] = {
    {401, "Cannot find the UNINSTAL.INF file necessary to run the de-installation; check to ensure that the file is "
          "in the same directory as the installed Tavelon presentation."},
    {402, "Insufficient memory to run UNINST; close one or more Windows applications to increase available memory "
          "and try again."},
    {415, "UNINSTAL.INF"},
    {417, "The application and all its associated files have been successfully removed."},
    {418, "These files and directories could not be removed:\n\n%1"},
    {443, "Unable to communicate with Program Manager"},
    {444, "DDEML initialization failure."},
    {445, "[deletegroup(\"%1\")]"},
    {447, "[showgroup(%1,1)]"},
    {448, "[deleteitem(\"%1\")]"},
    {449, "[showgroup(%1,6)]"},
    {450, "Do you want to delete the directory '%1' and it's contents from you hard disk?"},
};

template <std::size_t N>
const Entry* Find(const Entry (&table)[N], UINT id) {
  for (const Entry& e : table) {
    if (e.id == id) return &e;
  }
  return nullptr;
}

}  // namespace

CString LoadSetupString(SetupProgram program, UINT id) {
  const Entry* entry = nullptr;
  switch (program) {
    case SetupProgram::kSetup: entry = Find(kSetup, id); break;
    case SetupProgram::kAutorun: entry = Find(kAutorun, id); break;
    case SetupProgram::kUninstal: return (entry = Find(kUninstal, id)) ? CString(entry->text) : CString();
  }
  if (!entry) entry = Find(kShared, id);
  return entry ? CString(entry->text) : CString();
}

CString FormatSetupString(SetupProgram program, UINT id, const CString& argument) {
  CString text = LoadSetupString(program, id);
  text.Replace("%1", argument.view());
  return text;
}
