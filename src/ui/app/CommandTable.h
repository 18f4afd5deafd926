// The commands of the main window: their menu labels, prompts, icons and
// keys, in the order the menus and the toolbar show them. Plain data, so the
// frame builds its menus from it and tests read it without a display.
#pragma once

#include <span>

enum class Cmd {
    None, // a separator in a menu or on the toolbar
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FilePrint,
    FilePrintPreview,
    FilePrintSetup,
    FileSendMail,
    FileMruFile1, // the place of the recent-file list
    AppExit,
    EditUndo,
    EditCut,
    EditCopy,
    EditPaste,
    ViewToolbar,
    ViewStatusBar,
    ViewControl,
    ViewAxes,
    ElementTree,
    UprightHulls,
    InclinedHulls,
    Bonjean,
    SubmergedTrim,
    AppAbout,
    AutoZoom,
    ZoomIn,
    ZoomOut,
    NextPane,
    PrevPane,
    // Last, so that the commands before keep their numbers (and the names of
    // their actions).
    EditRedo,
    ModelCheck,
    HydrostaticCurves,
    Stability,
    Conditions,
    TankTables,
    DamageStability,
    PrintReport,
};

struct CommandInfo {
    Cmd id;
    // Status-bar prompt, then after a line feed the tool tip; null for none.
    const char* prompt;
    // Resource name of the toolbar image, null when the command has no button.
    const char* icon;
};

struct MenuItem {
    const char* label; // with the shortcut label after a tab; null for a separator
    Cmd id;
};

struct MenuInfo {
    const char* title;
    std::span<const MenuItem> items;
};

struct Accelerator {
    const char* keys; // in the form QKeySequence reads ("Ctrl+O")
    Cmd id;
};

const CommandInfo& CommandFor(Cmd id);
std::span<const MenuInfo> Menus();
// The toolbar's buttons in order, Cmd::None for a separator.
std::span<const Cmd> ToolbarButtons();
std::span<const Accelerator> Accelerators();

// The ship document type: "Brelund\n\nNave\nFile Nave (*.nav)\n.nav\nBrelund.Document\nNave
// Document".
extern const char* const kDocumentTypeDescriptor;
extern const char* const kAppTitle;       // "Brelund"
extern const char* const kUntitled;       // "Senza titolo"
extern const char* const kShipFilter;     // "File Nave (*.nav)"
extern const char* const kAllFilesFilter; // "Tutti i file (*.*)"
extern const char* const kShipExtension;  // ".nav"
extern const char* const kSettingsKey;    // "Dorvanti's Application"
extern const char* const kIdlePrompt;     // "Pronto"
extern const char* const kRecentFilePrompt;
