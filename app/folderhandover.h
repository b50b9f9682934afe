#pragma once

namespace brevik {
struct FolderSettings;
}

namespace brevik::ui {

class frmPath;

// Hands the two folders to the main window: writes them into its hidden fields, txtHold1 the
// data folder and txtHold2 the QuickBooks folder, and shows it unless it is showing already.
// The splash hands over so when zrQBck.dat gives both folders, the folder settings on Continue.
void handOverFolders(const FolderSettings& folders);

// Connects the folder-settings window to the program: its Continue hands the folders over; its
// close button, while the main window is not showing (it opened at start-up in place of the
// main window), leaves no window open, and the program ends.
void followFolderWindow(frmPath& window);

} // namespace brevik::ui
