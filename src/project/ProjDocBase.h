#pragma once
// The project document: the one open project of a running instance. It owns the parsed header,
// the modules and their tree, the warning list and the generation options; it opens, saves and
// clears the project and guards it with a lock file.

#include <array>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "header/AppcfgFile.h"
#include "model/ModuleHost.h"
#include "project/DocumentObserver.h"
#include "project/ModuleTree.h"
#include "project/ProcessorTable.h"
#include "project/ProjectOptions.h"
#include "project/ProjectLock.h"
#include "project/SplashProgress.h"
#include "project/UndoHistory.h"
#include "project/Warning.h"

class CModuleBase;
class CPluginFile;
struct CRuntimeClass;

// The program-wide switches that change how the document opens and saves.
struct tRunFlags {
    bool selfTest = false;    // run the self-test after a successful open
    bool reprocess = false;   // save after opening, validating without messages
    bool interactive = false; // the user works with the program (questions may be asked)
};

class CProjDocBase : public IModuleHost, public IModuleFactory {
public:
    static constexpr const char* kAlreadyOpenQuestion =
        "This project file is already open in other application. Do you want to activate it?";

    CProjDocBase();
    ~CProjDocBase() override;
    CProjDocBase(const CProjDocBase&) = delete;
    CProjDocBase& operator=(const CProjDocBase&) = delete;

    // --- Life cycle ---

    // Opens the project: a header file, a folder holding one, or the current folder (empty).
    bool OpenProject(const std::string& path);
    // Gives up the lock and the temporary folders now, for a run that ends without destroying
    // the document.
    void ReleaseFilesForExit();
    // Forgets the open project: modules, tree, warnings, header, lock and temporary files.
    void ClearProject();
    // Writes every header file of the project; the main one to `path`. The values then count as
    // saved, unless the main header went to a copy: the project file itself still holds the
    // values of its last save, so closing must still offer to save them.
    bool SaveProject(const std::string& path, bool asCopy = false);
    // The Save command: the lock is checked for the path, then SaveProject.
    bool Save();
    // Save As (the project then lives at the path and its lock moves there) and Save Copy As
    // (`copy`: the project stays where it is, the copy gets no lock). A path another instance
    // holds is refused; a failed save removes the file only when it did not exist before.
    bool SaveAs(const std::string& path, bool copy);
    // Validates every module; interactive shows the page of a failing module with messages,
    // otherwise one message names the first failing module and why it fails.
    bool ValidateAll(bool interactive);
    // Runs the pending warnings pass and tells the views that an idle pass happened.
    void IdleUpdate();
    // Asks for one warnings pass on the next idle pass, however often it is asked before.
    void RequestWarnings();

    // With this set, a save whose header files differ from the files on disk only in the
    // banner's date line writes nothing (a build step then triggers no recompile).
    void SetSkipUnchangedSave(bool skip) { m_skipUnchangedSave = skip; }
    // After a save: whether the files were left untouched because nothing had changed.
    bool LastSaveWasSkipped() const { return m_lastSaveSkipped; }

    void SetRunFlags(const tRunFlags& flags) { m_runFlags = flags; }
    const tRunFlags& RunFlags() const { return m_runFlags; }
    // A document without a user interface (the import of another project's settings).
    void SetBatchMode(ISplashProgress* progress);
    // Where opening reports its progress (the desktop's splash window); null for nowhere.
    void SetProgressSink(ISplashProgress* progress) { m_progress = progress; }
    bool IsBatch() const { return m_batch; }

    // --- Modules ---

    // A new module of the descriptor's type key ("UNREC" without a descriptor), appended to the
    // module list; null for an unknown key.
    CModuleBase* CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) override;
    CModuleBase* FindModule(std::string_view instanceName) override;
    CModuleBase* FindModule(std::string_view instanceName, std::string_view typeKey) const;
    const std::vector<std::unique_ptr<CModuleBase>>& Modules() const { return m_modules; }
    // The module that owns a register item, as recorded when modules loaded their values.
    CModuleBase* ItemOwner(const tPerCfgItem* item) const;
    CModuleTree& Tree() { return m_tree; }
    CAppcfgFileReader& MainHeader() { return *m_mainHeader; }

    // --- Plug-ins ---

    // Loads the description files of the plug-in folders ("*.hwc", nested ones too) beside the
    // program and then beside the project file; returns how many files were loaded.
    int LoadPlugins();
    // Loads one description file and adds a module for each plug-in meant for this processor;
    // with reportErrors a file that cannot be used, a duplicate and a failed tree insertion are
    // reported. False when the file declares no plug-in.
    bool LoadPluginFile(const std::string& path, bool reportErrors);
    const std::vector<std::unique_ptr<CPluginFile>>& PluginFiles() const { return m_pluginFiles; }
    // The header files plug-ins write into, by lower-cased full path.
    const std::map<std::string, std::unique_ptr<CAppcfgFileReader>>& PluginHeaders() const {
        return m_pluginHeaders;
    }
    bool IsLoaded() const { return m_loaded; }

    // --- IModuleHost ---

    std::size_t ModuleCount() const override { return m_modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return m_modules[index].get(); }
    bool GenerateComments() const override { return m_options.generateComments; }
    bool GenerateDefaults() const override { return m_options.generateDefaults; }
    bool KeepUserComments() const override { return m_options.keepUserComments; }
    void RegisterItem(const tPerCfgItem& item, CModuleBase& owner) override;
    void UpdateAllViews(CModuleBase* sender, int hint, const void* object) override;

    // --- Warnings ---

    void SetWarning(CModuleBase* owner, int id, bool active, const char* message,
                    const char* detail) override;
    bool IsProjectLoaded() const override { return m_loaded; }
    const CWarningList& Warnings() const { return m_warnings; }
    // Runs every module's CheckWarnings now (the idle pass does it when one was requested).
    void CheckAllWarnings();

    // Shows a module's page as selecting it in the tree does: the page shown so far is validated
    // first and, when it holds an invalid value, stays (false). Without a window the page is
    // made and marked shown; the desktop program shows it in its page pane.
    bool ShowModulePage(CModuleBase& module) override;
    bool IsModuleWithoutClass(std::string_view instanceName) const override;
    std::string ProcessorDefineName() const override {
        return m_processor.defineRow ? m_processor.defineRow->macroName : std::string();
    }

    // --- Undo and redo ---

    // Keeps a history of the user's changes from now on (the desktop program; headless runs
    // have no use for it).
    void EnableUndo();
    bool IsUndoEnabled() const { return m_history != nullptr; }
    // A user action (an import, a reset, a selection, new options) may change values; `name`
    // names the step unless a name was given before.
    void NoteUserAction(std::string name = {});
    // Ends the current user action: what it changed becomes one step. The idle pass does this;
    // while steps are held (a dialog is open) nothing is recorded until the hold ends.
    void CommitUndoStep();
    // Takes back the last step (or does it again): the page shown is committed first and, when
    // it holds an invalid value, nothing happens (false). The values go back through the update
    // cycle, so pages, derived values, the registers view and warnings follow.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return m_history && m_history->CanUndo(); }
    bool CanRedo() const { return m_history && m_history->CanRedo(); }
    std::string UndoName() const { return m_history ? m_history->UndoName() : std::string(); }
    std::string RedoName() const { return m_history ? m_history->RedoName() : std::string(); }

    void AddObserver(hwc::IDocumentObserver* observer);
    void RemoveObserver(hwc::IDocumentObserver* observer);

    // --- Project identity ---

    using tOptions = tProjectOptions;
    struct tProcessorData {
        std::string processorName; // names the architecture file; empty when unknown
        const tProcessorDefine* defineRow = nullptr;
        std::string maskNumber;
        std::string partNumber;
        std::string package;
        float extClockMHz = 0;
        float crystalMHz = 0;
        bool prefixedClockNames = true; // APPCFG_EXTCLK/APPCFG_EXTAL rather than EXTCLK/EXTAL
        // The clock macros' value texts as the project file wrote them, and the frequencies
        // read from them (0 for one that cannot be used).
        std::string extClockText;
        float extClockReadMHz = 0;
        std::string crystalText;
        float crystalReadMHz = 0;

        // The value text to write for a clock macro: as read while nobody changed the
        // frequency, else empty (the frequency is written).
        std::string KeptExtClockText() const {
            return extClockMHz == extClockReadMHz ? extClockText : std::string();
        }
        std::string KeptCrystalText() const {
            return crystalMHz == crystalReadMHz ? crystalText : std::string();
        }
        // After a save: the file now holds what was written.
        void MarkClocksWritten() {
            extClockText = KeptExtClockText();
            extClockReadMHz = extClockMHz;
            crystalText = KeptCrystalText();
            crystalReadMHz = crystalMHz;
        }
    };

    const tOptions& Options() const { return m_options; }
    void SetOptions(const tOptions& options) { m_options = options; }
    const tProcessorData& Processor() const { return m_processor; }
    // True when the options, the part data or any module differ from the last load or save.
    bool IsProjectModified() const;
    // What the project file holds that could not be used, one "where: what" line each: register
    // values that are no number (kept as user definitions) and clock macros (kept as written).
    std::vector<std::string> UnusableValues() const;

    const std::string& ProjectFilePath() const { return m_projectFilePath; }
    // The folder of the project file, or its parent when that folder is "ApplicationConfig".
    std::string ProjectFolder() const;
    std::string ProjectName() const;
    // "ApplicationConfig" when the project file lies in a folder of that name, else empty.
    std::string ConfigSubfolder() const;
    // The project folder joined with `name` (the configuration subfolder when null) and subname.
    std::string ProjectFile(const char* name, std::string_view subname = {}) const;
    // "Motor (appconfig.h)"; empty without a project.
    std::string Title() const;
    // A new unique file (or folder) in the system's temporary folder, deleted on clearing.
    std::string CreateTempPath(bool asFolder);

    // True when this instance may use the path: nobody else holds its lock. Takes the lock for
    // the path unless the keep-lock flag is set.
    bool CheckAlreadyOpen(const std::string& path);

protected:
    // The class for a type key: the base knows the folder nodes "VOID" and "PLUGINS".
    virtual const CRuntimeClass* ModuleClassFor(std::string_view typeKey) const;
    // The processor-define rows searched by IdentifyProcessor, in order.
    virtual std::span<const tProcessorDefine> ProcessorDefineRows() const { return {}; }
    // Fills the processor data and the options read from the project file.
    virtual void IdentifyProcessor();
    // Reads the user's output options (the desktop program keeps them in its settings).
    virtual void LoadOptions() {}
    // Another instance (process `holder`) holds the project: the desktop program brings its
    // window forward, asking first once it is interactive. Without a window there is only the
    // question, which tells the user why the project is refused.
    virtual void ActivateHolder(long holder);
    // A successful open of a re-process run asks for Save & Exit; the desktop program posts it
    // to its main window, headless runs save by themselves.
    virtual void OnReprocessRequested() {}
    // Commits the page being edited; false keeps the project from being saved or closed.
    virtual bool CommitDisplayedPage() { return true; }
    // Whether a user action is still going on (the desktop program: a dialog is open, whose
    // changes belong to one step however many idle passes run meanwhile).
    virtual bool IsUndoStepHeld() const { return false; }

    void Notify(int hint, CModuleBase* sender = nullptr, const void* object = nullptr);

    tProcessorData m_processor;
    tOptions m_options;

private:
    struct tSnapshot {
        tOptions options;
        tProcessorData processor;
    };

    bool OpenFoundProject(const std::string& file);
    // What a successful open does for the run's flags: the self-test, or Save & Exit.
    void RunAfterOpen();
    void LoadModules();
    // LoadPlugins for one folder: its "*.hwc" sub-folders and, with scanIni, its ".ini" files.
    int LoadPluginsIn(const std::string& folder, bool scanIni, std::set<std::string>& visited);
    // The reader of a plug-in's header file, opened on first use; null for the project header.
    CAppcfgFileReader* PluginHeader(const std::string& headerFile, bool reportErrors);
    // Gives every plug-in header a user-definitions module, which keeps the definitions of that
    // file that no plug-in claims and writes them back into it.
    void AddPluginHeaderKeepers();
    void ClearPlugins();
    // Undo or Redo: restores a step and runs the update cycle of the modules it touches.
    bool RestoreStep(bool forward);
    // A change a view was told of, noted for the undo history: a control's binding names the
    // step ("PIT0: Clock Prescaler") should its register change.
    void NoteChange(CModuleBase* sender, int hint, const void* object);
    void DeleteTempPaths();
    // The generated text of every header file; false when a module refused (the save stops).
    bool BuildHeaderTexts(std::vector<std::pair<CAppcfgFile*, std::string>>& texts);

    std::unique_ptr<CAppcfgFileReader> m_mainHeader;
    std::vector<std::unique_ptr<CModuleBase>> m_modules;
    // Instances the architecture file describes whose type has no class in this program.
    std::set<std::string, std::less<>> m_modulesWithoutClass;
    std::map<const tPerCfgItem*, CModuleBase*> m_itemOwners;
    // The plug-ins' description files and header files; the modules refer to both, so they are
    // released after the modules.
    std::vector<std::unique_ptr<CPluginFile>> m_pluginFiles;
    std::map<std::string, std::unique_ptr<CAppcfgFileReader>> m_pluginHeaders;
    // Plug-in headers that exist but could not be read: a save must not replace them.
    std::set<const CAppcfgFile*> m_unreadablePluginHeaders;
    CModuleTree m_tree;
    CWarningList m_warnings;
    std::vector<hwc::IDocumentObserver*> m_observers;
    std::unique_ptr<CProjectLock> m_lock;
    std::vector<std::string> m_tempPaths;
    tSnapshot m_snapshot;
    std::vector<std::string> m_unusableClocks; // "where: what" of the clock macros
    tRunFlags m_runFlags;
    ISplashProgress* m_progress = nullptr;
    std::string m_projectFilePath;
    bool m_loaded = false;
    bool m_warningsPending = true;
    bool m_batch = false;
    bool m_keepLock = false;
    bool m_modified = false;
    bool m_skipUnchangedSave = false;
    bool m_lastSaveSkipped = false;
    std::unique_ptr<hwc::CUndoHistory> m_history;
    bool m_restoring = false; // an undo or redo runs the update cycle
};
