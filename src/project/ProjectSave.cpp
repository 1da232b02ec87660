// Saving the project: every module's section assembled into the header text, then the file
// written behind a backup.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/Messages.h"
#include "base/TextFile.h"
#include "header/HeaderWriter.h"
#include "model/ModuleBase.h"
#include "project/AdoptHeader.h"
#include "project/HeaderFileSave.h"
#include "project/ProjDocBase.h"

namespace fs = std::filesystem;

namespace {

struct tHeaderText {
    CAppcfgFile* header;
    std::string path;
    std::string text;
};

// True when the file on disk already holds the text but for the banner's date line.
bool OnDiskDiffersOnlyInDate(const tHeaderText& file) {
    hwc::CTextFile onDisk;
    if (!onDisk.Load(file.path))
        return false;
    return DiffersOnlyInBannerDate(onDisk.Text(), file.text);
}

// Appends the section of every module that belongs to the header, in module-list order: the
// summary comment and the module's defines. False when a module refuses (the save stops).
bool AppendModuleSections(const std::vector<std::unique_ptr<CModuleBase>>& modules,
                          const CAppcfgFile* header, std::string& body) {
    body.reserve(128 * 1024);
    std::string block;
    for (const auto& module : modules) {
        if (!module->IsHeaderFile(header))
            continue;
        block = "/*.\n";
        module->GetSummary(block);
        block += "\n.*/\n";
        if (!module->WriteHeaderText(block))
            return false;
        if (!block.empty()) {
            block += "\n";
            body += block;
        }
    }
    return true;
}

} // namespace

bool CProjDocBase::Save() {
    if (m_projectFilePath.empty())
        return false;
    if (!CheckAlreadyOpen(m_projectFilePath))
        return false;
    return SaveProject(m_projectFilePath);
}

bool CProjDocBase::SaveAs(const std::string& path, bool copy) {
    std::error_code error;
    const std::string target = fs::absolute(path, error).lexically_normal().string();
    if (target == m_projectFilePath)
        return Save();
    // The target's lock is only looked at here; the project keeps its own lock until the save
    // has succeeded.
    m_keepLock = true;
    const bool free = CheckAlreadyOpen(target);
    m_keepLock = false;
    if (!free)
        return false;
    const bool existed = fs::exists(target, error);
    if (!SaveProject(target, copy)) {
        if (!existed)
            fs::remove(target, error);
        return false;
    }
    if (copy || !fs::is_regular_file(target, error))
        return true;
    m_projectFilePath = target;
    if (!m_batch)
        CheckAlreadyOpen(target);
    return true;
}

bool CProjDocBase::ValidateAll(bool interactive) {
    for (const auto& module : m_modules) {
        module->CreatePage();
        module->Recalculate();
        module->UpdateControlStates();
        if (module->Validate(false))
            continue;
        if (!interactive) {
            hwc::ShowMessage("The project is not saved: the page of " + module->Title() +
                             " refuses a value. " + module->ValidationProblem());
            return false;
        }
        if (!ShowModulePage(*module) || !module->Validate(true))
            return false;
    }
    return true;
}

bool CProjDocBase::SaveProject(const std::string& path, bool asCopy) {
    m_lastSaveSkipped = false;
    const bool reprocess = m_runFlags.reprocess;
    if (!reprocess && !CommitDisplayedPage())
        return false;
    m_tree.PushCheckMarksToModules();
    // A value a page refuses is never written, not even by a run that asks nothing.
    if (!ValidateAll(!reprocess))
        return false;

    std::vector<std::pair<CAppcfgFile*, std::string>> texts;
    if (!BuildHeaderTexts(texts) || !AdoptHandWrittenHeaders(texts, m_mainHeader.get(), path)) {
        m_tree.RefreshStateImages();
        return false;
    }
    std::vector<tHeaderText> files;
    for (auto& [header, text] : texts) {
        const bool isMain = header == m_mainHeader.get();
        files.push_back({header, isMain ? path : header->Path(), std::move(text)});
    }

    bool written = true;
    if (m_skipUnchangedSave &&
        std::all_of(files.begin(), files.end(), OnDiskDiffersOnlyInDate)) {
        m_lastSaveSkipped = true;
    } else {
        for (const tHeaderText& file : files)
            written = WriteHeaderFile(file.path, file.text, file.header->LineEnding()) && written;
    }

    // The saved project file is a new file, which the lock now holds in place of the old one.
    if (m_lock)
        m_lock->FollowProjectFile();
    m_tree.RefreshStateImages();
    // A plug-in header left alone because it could not be read does not hold the values.
    if (!written || !m_unreadablePluginHeaders.empty())
        return false;
    if (asCopy)
        return true;
    for (const auto& module : m_modules)
        module->MarkSaved();
    m_processor.MarkClocksWritten();
    m_snapshot = {m_options, m_processor};
    return true;
}

bool CProjDocBase::BuildHeaderTexts(std::vector<std::pair<CAppcfgFile*, std::string>>& texts) {
    // Plug-in headers come first and the project header last; each module belongs to one.
    const std::string date = BannerDateNow();
    for (const auto& [key, header] : m_pluginHeaders) {
        std::string body;
        if (!AppendModuleSections(m_modules, header.get(), body))
            return false;
        // A file that exists but could not be read would lose all it holds.
        if (m_unreadablePluginHeaders.count(header.get()) != 0) {
            hwc::ShowMessage("The plug-in header " + header->Path() +
                             " is not written: it could not be read when the project was opened.");
            continue;
        }
        texts.emplace_back(header.get(), BuildHeaderFileText(*header, body, nullptr, date));
    }

    CAppcfgFile* mainHeader = m_mainHeader.get();
    std::string body;
    if (!AppendModuleSections(m_modules, mainHeader, body))
        return false;

    tMainHeaderMacros macros;
    macros.processorDefine = m_processor.defineRow ? m_processor.defineRow->macroName : "";
    macros.maskNumber = m_processor.maskNumber;
    macros.partNumber = m_processor.partNumber;
    macros.package = m_processor.package;
    macros.extClockMHz = m_processor.extClockMHz;
    macros.crystalMHz = m_processor.crystalMHz;
    macros.extClockText = m_processor.KeptExtClockText();
    macros.crystalText = m_processor.KeptCrystalText();
    macros.shortClockNames = !m_processor.prefixedClockNames;
    macros.generateDefaults = m_options.generateDefaults;
    macros.briefView = m_options.briefView;
    macros.version = {HWC_VERSION_MAJOR, HWC_VERSION_MINOR, HWC_VERSION_PATCH, HWC_VERSION_TWEAK};
    texts.emplace_back(mainHeader, BuildHeaderFileText(*mainHeader, body, &macros, date));
    return true;
}
