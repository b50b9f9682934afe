#pragma once

#include <QPointer>

#include <functional>

class QWidget;

namespace brevik::ui {

class frmAbout;
class frmBackups;
class frmBrevik;
class frmExport;
class frmPath;
class frmPreview;
class frmSplash;

// Every window of the program exists at most once. It is created when it is first shown or
// first written to, and lives until it is closed; showing one that is open brings it forward.
class Forms
{
public:
    [[nodiscard]] static frmBrevik& brevik();
    [[nodiscard]] static frmPath& path();
    [[nodiscard]] static frmSplash& splash();
    [[nodiscard]] static frmExport& exportWindow();
    [[nodiscard]] static frmAbout& about();
    [[nodiscard]] static frmPreview& preview();
    [[nodiscard]] static frmBackups& backups();

    // The window if it exists now, without creating it.
    [[nodiscard]] static frmBrevik* existingBrevik();
    [[nodiscard]] static frmPath* existingPath();
    [[nodiscard]] static frmSplash* existingSplash();
    [[nodiscard]] static frmExport* existingExport();
    [[nodiscard]] static frmAbout* existingAbout();
    [[nodiscard]] static frmPreview* existingPreview();
    [[nodiscard]] static frmBackups* existingBackups();

    // Shows a window without modality, or brings it to the front when it is showing.
    static void showModeless(QWidget* window);

    // Closes every open window in turn; each runs its own closing procedures.
    static void closeAll();

    // Ends the program at once: every window is destroyed without its closing procedures.
    static void endProgram();

    // What ending the program does after the windows are gone; the program quits the event
    // loop, tests record the request.
    static void setEndHook(std::function<void()> hook);
    [[nodiscard]] static bool endRequested();
    static void resetForTesting();
};

} // namespace brevik::ui
