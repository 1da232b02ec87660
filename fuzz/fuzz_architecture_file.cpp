// Reads any bytes as a processor's architecture file into a module tree, then walks the tree:
// every item is at most the nesting limit deep, its module was created for it and is found by
// its instance name. Ordinary bad content must never show a message.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "base/Messages.h"
#include "model/ModuleBase.h"
#include "model/ModuleDescriptor.h"
#include "project/ArchitectureFile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class CNoMessages final : public hwc::IMessageHandler {
public:
    hwc::EAnswer Show(std::string_view, hwc::EButtons, hwc::EAnswer) override { std::abort(); }
};

// Plain modules for every type key but one, so that dropped entries are exercised too.
class CFactory final : public IModuleFactory {
public:
    CModuleBase* CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) override {
        if (descriptor->TypeKey() == "BOGUS")
            return nullptr;
        modules.push_back(std::make_unique<CModuleBase>(parent, 0, descriptor, nullptr, 0));
        return modules.back().get();
    }
    CModuleBase* FindModule(std::string_view instanceName) override {
        for (const auto& module : modules) {
            if (module->InstanceName() == instanceName)
                return module.get();
        }
        return nullptr;
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
};

const std::string& FilePath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        static char removeAtExit[4096];
        const std::string file = std::string(folder && *folder ? folder : "/tmp") +
                                 "/hwc_fuzz_arch_" +
                                 std::to_string(static_cast<long>(::getpid())) + ".cfg";
        file.copy(removeAtExit, sizeof removeAtExit - 1);
        std::atexit([] { std::remove(removeAtExit); });
        return file;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNoMessages noMessages;
    hwc::ScopedMessageHandler scope(noMessages);
    {
        std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        Check(out.good());
    }
    CFactory factory;
    CModuleTree tree;
    LoadArchitecture(FilePath(), "P", tree, factory);

    std::size_t items = 0;
    tree.ForEachItem([&](CModuleTreeItem& item) {
        ++items;
        int depth = 0;
        for (const CModuleTreeItem* up = item.Parent(); up; up = up->Parent())
            ++depth;
        Check(depth <= hwc::kMaxArchitectureNesting);
        Check(item.Module() != nullptr);
        Check(factory.FindModule(item.Module()->InstanceName()) != nullptr);
    });
    Check(items == factory.modules.size());
    return 0;
}
