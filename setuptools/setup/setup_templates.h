// The dialog templates of setup (Startup, Directory, disk, copy error, message, options, terms, copying), in dialog units.
#pragma once

#include "platform/user/dialog.h"

namespace setup {

// Template ids.
inline constexpr UINT kStartupTemplate = 26;
inline constexpr UINT kDirectoryTemplate = 11;
inline constexpr UINT kDiskTemplate = 16;
inline constexpr UINT kCopyErrorTemplate = 19;
inline constexpr UINT kMessageTemplate = 291;
inline constexpr UINT kOptionsTemplate = 30;
inline constexpr UINT kTermsTemplate = 401;
inline constexpr UINT kCopyingTemplate = 400;

// Control ids shared by several templates.
inline constexpr UINT kIconId = 100;
inline constexpr UINT kBackId = 402;
inline constexpr UINT kPathEditId = 200;
inline constexpr UINT kFirstComponentBox = 300;
inline constexpr UINT kFirstComponentSize = 310;
inline constexpr UINT kComponentTotal = 315;
inline constexpr int kMaxComponents = 5;
inline constexpr UINT kTermsEditId = 1006;
inline constexpr UINT kMessageTextId = 1010;
inline constexpr UINT kCopyingFileId = 103;
inline constexpr UINT kCopyingTargetId = 4004;
inline constexpr UINT kGaugeId = 401;

// The window classes of the copying dialog's own controls.
inline constexpr const char* kProgressGaugeClass = "ProgressGaugeClass";
inline constexpr const char* kNoFlickerTextClass = "NoFlickerTextClass";

// The template of that id; an empty one (no controls, size 0) for an unknown id.
DialogTemplate SetupTemplate(UINT id);

}  // namespace setup
