// What the 3D audio test says in its status line under the file name, and
// the file-open dialog's title and filter. Its message boxes are
// MessageBoxId::Init3DFailed and Play3DFailed.
#pragma once

constexpr char kLoadingText[] = "Loading file...";
constexpr char kLoadAbortedText[] = "Load aborted.";
constexpr char kChosenNotLoadedText[] = "Could not create segment from file.";
constexpr char kRememberedNotLoadedText[] = "No file loaded.";

constexpr char kOpenContentTitle[] = "Open Content File";
// Pairs of name and pattern, closed by an empty name.
constexpr char kContentFilter[] = "DirectMusic Content Files\0*.sgt;*.mid;*.rmi\0"
                                  "Wave Files\0*.wav\0"
                                  "All Files\0*.*\0";
