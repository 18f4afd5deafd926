#include "CommandTable.h"

#include <stdexcept>

const char* const kDocumentTypeDescriptor =
    "Brelund\n\nNave\nFile Nave (*.nav)\n.nav\nBrelund.Document\nNave Document";
const char* const kAppTitle = "Brelund";
const char* const kUntitled = "Senza titolo";
const char* const kShipFilter = "File Nave (*.nav)";
const char* const kAllFilesFilter = "Tutti i file (*.*)";
const char* const kShipExtension = ".nav";
const char* const kSettingsKey = "Dorvanti's Application";
const char* const kIdlePrompt = "Pronto";
const char* const kRecentFilePrompt = "Apre questo documento";

namespace {

const CommandInfo kCommands[] = {
    {Cmd::FileNew, "Crea un nuovo documento\nNuovo", "new"},
    {Cmd::FileOpen, "Apre un documento esistente\nApri", "open"},
    {Cmd::FileSave, "Salva il documento attivo\nSalva", "save"},
    {Cmd::FileSaveAs, "Salva il documento attivo con un nuovo nome\nSalva con nome", nullptr},
    {Cmd::PrintReport,
     "Prepara la relazione di stabilità della nave e delle sue condizioni di carico, da vedere, "
     "stampare o salvare in PDF\nStampa relazione",
     nullptr},
    {Cmd::FilePrint, "Stampa il documento attivo\nStampa", nullptr},
    {Cmd::FilePrintPreview, "Visualizza le pagine per intero\nAnteprima di stampa", nullptr},
    {Cmd::FilePrintSetup,
     "Modifica le impostazioni relative alla stampante e alla stampa\nImposta stampante", nullptr},
    {Cmd::FileSendMail, "Invia il documento attivo per posta elettronica\nInvia", nullptr},
    {Cmd::FileMruFile1, "Apre questo documento", nullptr},
    {Cmd::AppExit, "Esce dall'applicazione e chiede di salvare i documenti\nEsci", nullptr},
    {Cmd::EditUndo, "Annulla l'ultima azione\nAnnulla", nullptr},
    {Cmd::EditRedo, "Ripeti l'ultima azione annullata\nRipeti", nullptr},
    {Cmd::EditCut, "Taglia la selezione e la inserisce negli Appunti\nTaglia", nullptr},
    {Cmd::EditCopy, "Copia la selezione e la inserisce negli Appunti\nCopia", nullptr},
    {Cmd::EditPaste, "Inserisce il contenuto degli Appunti\nIncolla", nullptr},
    {Cmd::ViewToolbar,
     "Mostra o nasconde la barra degli strumenti\nMostra/nascondi barra degli strumenti", nullptr},
    {Cmd::ViewStatusBar, "Mostra o nasconde la barra di stato\nMostra/nascondi barra di stato",
     nullptr},
    {Cmd::ViewControl, nullptr, nullptr},
    {Cmd::ViewAxes,
     "Visualizza/Nasconde la terna cartesiana di riferiemento \n Visualizza/Nasconde gli assi "
     "cartesiani",
     "axes"},
    {Cmd::ElementTree,
     "Visualizza la finestra di dialogo che mostra gli elementi della nave \n Controllo elementi",
     "elementtree"},
    {Cmd::UprightHulls,
     "Visualizza la finestra di dialogo per il calcolo delle carene dritte \n Dlg Carene dritte",
     "upright"},
    {Cmd::InclinedHulls,
     "Visualizza la finestra di dialogo per il calcolo delle carene inclinate \n Carene inclinate "
     "(KZ-GZ)",
     "inclined"},
    {Cmd::Bonjean,
     "Visualizza la finestra di dialogo per il calcolo delle tavole del Bonjean \n Tavole del "
     "Bonjean",
     "bonjean"},
    {Cmd::SubmergedTrim, "Calcolo degli assetti per i corpi immersi", "submergedtrim"},
    {Cmd::HydrostaticCurves,
     "Visualizza la finestra di dialogo per il calcolo e il grafico delle curve idrostatiche \n "
     "Curve idrostatiche",
     "hydrostatics"},
    {Cmd::Stability,
     "Visualizza la finestra per il calcolo della stabilità di una condizione di carico: "
     "equilibrio, curva GZ e criteri \n Stabilità",
     "stability"},
    {Cmd::DamageStability,
     "Visualizza la finestra per il calcolo della stabilità in avaria di una condizione di "
     "carico: equilibrio, curva GZ e criteri per ogni caso di avaria \n Stabilità in avaria",
     nullptr},
    {Cmd::AppAbout,
     "Visualizza le informazioni sul programma, il numero di versione e il copyright\nInformazioni "
     "su",
     "about"},
    {Cmd::AutoZoom, "Auto zoom \n Auto Zoom", "autozoom"},
    {Cmd::ZoomIn, "Zoom in\nZoom in", "zoomin"},
    {Cmd::ZoomOut, "Zoom out\n Zoom out", "zoomout"},
    {Cmd::NextPane, nullptr, nullptr},
    {Cmd::PrevPane, nullptr, nullptr},
    {Cmd::ModelCheck,
     "Visualizza la finestra di dialogo che verifica le superfici degli elementi della nave \n "
     "Verifica modello",
     nullptr},
    {Cmd::Conditions,
     "Visualizza la finestra delle condizioni di carico della nave\nCondizioni di carico",
     "conditions"},
    {Cmd::TankTables,
     "Visualizza la finestra di dialogo per il calcolo delle tabelle di taratura delle casse \n "
     "Tabelle casse",
     nullptr},
};

const MenuItem kFileMenu[] = {
    {"&Nuovo\tCtrl+N", Cmd::FileNew},
    {"&Apri...\tCtrl+A", Cmd::FileOpen},
    {"&Salva\tCtrl+S", Cmd::FileSave},
    {"Sa&lva con nome...", Cmd::FileSaveAs},
    {nullptr, Cmd::None},
    {"Stampa relazione…", Cmd::PrintReport},
    {"Stam&pa...\tCtrl+P", Cmd::FilePrint},
    {"Antepri&ma di stampa", Cmd::FilePrintPreview},
    {"Imposta s&tampante...", Cmd::FilePrintSetup},
    {nullptr, Cmd::None},
    {"In&via...", Cmd::FileSendMail},
    {nullptr, Cmd::None},
    {"Ultimo file usato", Cmd::FileMruFile1},
    {nullptr, Cmd::None},
    {"&Esci", Cmd::AppExit},
};

const MenuItem kEditMenu[] = {
    {"&Annulla\tCtrl+Z", Cmd::EditUndo},
    {"&Ripeti\tCtrl+Y", Cmd::EditRedo},
    {nullptr, Cmd::None},
    {"Tag&lia\tCtrl+X", Cmd::EditCut},
    {"&Copia\tCtrl+C", Cmd::EditCopy},
    {"&Incolla\tCtrl+V", Cmd::EditPaste},
};

const MenuItem kViewMenu[] = {
    {"Barra degli st&rumenti", Cmd::ViewToolbar},
    {"Barra di st&ato", Cmd::ViewStatusBar},
    {"Controllo visualizzazione", Cmd::ViewControl},
    {"Assi", Cmd::ViewAxes},
    {nullptr, Cmd::None},
    {"Controllo elementi", Cmd::ElementTree},
    {"Verifica modello", Cmd::ModelCheck},
    {"Dlg Carene dritte", Cmd::UprightHulls},
    {"Dlg Carne inclinate", Cmd::InclinedHulls},
    {"Dlg Bonjean", Cmd::Bonjean},
    {"Dlg Assetto corpo Immerso", Cmd::SubmergedTrim},
    {"Curve idrostatiche", Cmd::HydrostaticCurves},
    {"Tabelle casse", Cmd::TankTables},
    {"Condizioni di carico", Cmd::Conditions},
    {"Stabilità", Cmd::Stability},
    {"Stabilità in avaria", Cmd::DamageStability},
};

const MenuItem kHelpMenu[] = {
    {"Infor&mazioni su Brelund...", Cmd::AppAbout},
};

const MenuInfo kMenus[] = {
    {"&File", kFileMenu},
    {"&Modifica", kEditMenu},
    {"&Visualizza", kViewMenu},
    {"&?", kHelpMenu},
};

const Cmd kToolbar[] = {
    Cmd::FileNew,       Cmd::FileOpen, Cmd::FileSave,    Cmd::None,          Cmd::AppAbout,
    Cmd::None,          Cmd::AutoZoom, Cmd::ZoomIn,      Cmd::ZoomOut,       Cmd::None,
    Cmd::ViewAxes,      Cmd::None,     Cmd::ElementTree, Cmd::None,          Cmd::UprightHulls,
    Cmd::InclinedHulls, Cmd::None,     Cmd::Bonjean,     Cmd::SubmergedTrim, Cmd::HydrostaticCurves,
    Cmd::None,          Cmd::Conditions, Cmd::Stability,
};

// Open answers Ctrl+O although its menu label shows Ctrl+A, and Ctrl+A is
// bound to nothing.
const Accelerator kAccelerators[] = {
    {"Ctrl+N", Cmd::FileNew},      {"Ctrl+O", Cmd::FileOpen},   {"Ctrl+S", Cmd::FileSave},
    {"Ctrl+P", Cmd::FilePrint},    {"Ctrl+Z", Cmd::EditUndo},   {"Alt+Backspace", Cmd::EditUndo},
    {"Ctrl+Y", Cmd::EditRedo},     {"Ctrl+X", Cmd::EditCut},    {"Shift+Del", Cmd::EditCut},
    {"Ctrl+C", Cmd::EditCopy},     {"Ctrl+Ins", Cmd::EditCopy}, {"Ctrl+V", Cmd::EditPaste},
    {"Shift+Ins", Cmd::EditPaste}, {"F6", Cmd::NextPane},       {"Shift+F6", Cmd::PrevPane},
};

} // namespace

const CommandInfo& CommandFor(Cmd id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id)
            return c;
    throw std::logic_error("command without an entry in the command table");
}

std::span<const MenuInfo> Menus() {
    return kMenus;
}
std::span<const Cmd> ToolbarButtons() {
    return kToolbar;
}
std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}
