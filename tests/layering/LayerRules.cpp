#include "tests/layering/LayerRules.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace velmora::layering {
namespace fs = std::filesystem;

namespace {

// Folders that hold code, each with the folders it may use. Layers link downwards only:
// platform/system, platform/graphics, skin/document, skin/drawing, skin/data, skin/controls,
// skin/widgets, installer/wizard; the installer and the command-line tools stay on
// platform/system so they never carry windows or picture decoders.
struct TFolderRule {
    std::string Folder;
    std::set<std::string> Uses;
};

const std::set<std::string> KSkinBase = {"platform/system", "platform/graphics", "skin/document",
                                         "skin/drawing"};

std::set<std::string> With(std::set<std::string> base, std::initializer_list<std::string> more) {
    base.insert(more.begin(), more.end());
    return base;
}

const std::vector<TFolderRule>& Rules() {
    static const std::vector<TFolderRule> rules = [] {
        const auto data = With(KSkinBase, {"skin/data"});
        const auto controls = With(data, {"skin/controls"});
        const auto widgets = With(controls, {"skin/widgets"});
        const auto wizard = With(widgets, {"installer", "installer/wizard", "assets"});
        const std::set<std::string> installerTools = {"platform/system", "installer",
                                                      "tools/common"};
        std::vector<TFolderRule> list = {
            {"platform/system", {}},
            {"platform/graphics", {"platform/system"}},
            {"installer/wizard", wizard},
            {"installer", {"platform/system"}},
            {"skin/document", {"platform/system"}},
            {"skin/drawing", {"platform/system", "platform/graphics", "skin/document"}},
            {"skin/data", data},
            {"skin/controls", controls},
            {"skin/widgets", widgets},
            {"tools/common", {"platform/system", "installer"}},
            {"tools/payload-tool", installerTools},
            {"tools/setup-cli", installerTools},
            {"tools/skin-tool", With(KSkinBase, {"skin/data"})},
            {"tools/svg-render", {"platform/system"}},
            {"tools/text-render", {"platform/system", "platform/graphics"}},
            {"tools/skin-gallery", With(widgets, {"assets"})},
            {"tools/wizard-tour", With(wizard, {"tools/common"})},
            {"assets/product/uninstall", installerTools},
            {"assets/product/corvex", {}},
        };
        // Every folder may use itself.
        for (auto& rule : list)
            rule.Uses.insert(rule.Folder);
        return list;
    }();
    return rules;
}

// The library targets and the folder each one is built from.
const std::map<std::string, std::string>& Libraries() {
    static const std::map<std::string, std::string> libraries = {
        {"velmora_platform_system", "platform/system"},
        {"velmora_platform_graphics", "platform/graphics"},
        {"velmora_installer", "installer"},
        {"velmora_skin_document", "skin/document"},
        {"velmora_skin_drawing", "skin/drawing"},
        {"velmora_skin_data", "skin/data"},
        {"velmora_skin_controls", "skin/controls"},
        {"velmora_skin_widgets", "skin/widgets"},
        {"velmora_installer_wizard", "installer/wizard"},
        {"velmora_tools_common", "tools/common"},
        {"velmora_skin_tool", "tools/skin-tool"},
        {"velmora_svg_render", "tools/svg-render"},
        {"velmora_skin_gallery", "tools/skin-gallery"},
        {"velmora_skin_resource", "assets"},
        {"velmora_payload_resource", "assets"},
        {"velmora_wizard_resource", "assets"},
    };
    return libraries;
}

// The rule of the deepest registered folder that holds Folder ("installer/wizard" before
// "installer").
const TFolderRule* RuleFor(const std::string& folder) {
    const TFolderRule* best = nullptr;
    for (const auto& rule : Rules()) {
        const bool inside =
            folder == rule.Folder || (folder.size() > rule.Folder.size() &&
                                      folder.compare(0, rule.Folder.size(), rule.Folder) == 0 &&
                                      folder[rule.Folder.size()] == '/');
        if (inside && (best == nullptr || rule.Folder.size() > best->Folder.size()))
            best = &rule;
    }
    return best;
}

// The layer folder that an include path such as "skin/data/SkinMng.h" points into; empty when
// it names no folder of ours (a header beside the includer).
std::optional<std::string> LayerOfInclude(const std::string& include) {
    const auto slash = include.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::string folder = include.substr(0, slash);
    if (folder == "tests" || folder.rfind("tests/", 0) == 0)
        return std::string("tests");
    if (const auto* rule = RuleFor(folder))
        return rule->Folder;
    return std::nullopt;
}

// The path of a line `#include "path"`, or empty for any other line.
std::string QuotedInclude(const std::string& line) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#')
        return {};
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0)
        return {};
    const auto open = line.find_first_not_of(" \t", at + 7);
    if (open == std::string::npos || line[open] != '"')
        return {};
    const auto close = line.find('"', open + 1);
    return close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || c == '_';
}

// Every word of the form velmora_[a-z_]+ on the line.
std::vector<std::string> LibraryNames(const std::string& line) {
    static const std::string prefix = "velmora_";
    std::vector<std::string> names;
    for (auto at = line.find(prefix); at != std::string::npos; at = line.find(prefix, at + 1)) {
        if (at > 0 && (IsNameChar(line[at - 1]) || (line[at - 1] >= '0' && line[at - 1] <= '9')))
            continue;
        auto end = at + prefix.size();
        while (end < line.size() && IsNameChar(line[end]))
            ++end;
        if (end < line.size() &&
            ((line[end] >= '0' && line[end] <= '9') || (line[end] >= 'A' && line[end] <= 'Z')))
            continue;
        names.push_back(line.substr(at, end - at));
    }
    return names;
}

bool IsSource(const fs::path& file) {
    const auto ext = file.extension().string();
    return ext == ".h" || ext == ".cpp" || ext == ".c";
}

// The header of a line `#include <path>` when it belongs to the X client libraries, else
// empty: only the window system adapter of platform/graphics speaks to the X server.
std::string XClientInclude(const std::string& line) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#')
        return {};
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0)
        return {};
    const auto open = line.find_first_not_of(" \t", at + 7);
    if (open == std::string::npos || line[open] != '<')
        return {};
    const auto close = line.find('>', open + 1);
    if (close == std::string::npos)
        return {};
    const std::string path = line.substr(open + 1, close - open - 1);
    return path.rfind("xcb/", 0) == 0 || path.rfind("X11/", 0) == 0 ? path : std::string();
}

void CheckIncludes(const fs::path& root, const fs::path& file, const TFolderRule& rule,
                   std::vector<TViolation>& out) {
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (const std::string x = XClientInclude(line);
            !x.empty() && rule.Folder != "platform/graphics")
            out.push_back({fs::relative(file, root).generic_string(), number,
                           rule.Folder + " may not include <" + x + ">"});
        const std::string path = QuotedInclude(line);
        if (path.empty())
            continue;
        const auto target = LayerOfInclude(path);
        if (!target || rule.Uses.count(*target) != 0)
            continue;
        out.push_back({fs::relative(file, root).generic_string(), number,
                       rule.Folder + " may not include " + path});
    }
}

void CheckLinks(const fs::path& root, const fs::path& file, const TFolderRule& rule,
                std::vector<TViolation>& out) {
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        for (const std::string& name : LibraryNames(line)) {
            // Helper functions and the targets a folder defines for itself.
            if (name == "velmora_library" || name == "velmora_folder_library" ||
                name == "velmora_add_existing" || name == "velmora_fuzz_target")
                continue;
            const auto found = Libraries().find(name);
            if (found == Libraries().end()) {
                out.push_back({fs::relative(file, root).generic_string(), number,
                               "unregistered library " + name});
                continue;
            }
            if (rule.Uses.count(found->second) == 0)
                out.push_back({fs::relative(file, root).generic_string(), number,
                               rule.Folder + " may not link " + name});
        }
    }
}

} // namespace

std::vector<TViolation> CheckLayers(const fs::path& root) {
    std::vector<TViolation> violations;
    for (const char* top : {"platform", "installer", "skin", "tools", "assets/product"}) {
        const fs::path base = root / top;
        if (!fs::exists(base))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(base)) {
            if (!entry.is_regular_file())
                continue;
            const std::string folder =
                fs::relative(entry.path().parent_path(), root).generic_string();
            const TFolderRule* rule = RuleFor(folder);
            if (rule == nullptr) {
                if (IsSource(entry.path()))
                    violations.push_back({fs::relative(entry.path(), root).generic_string(), 0,
                                          "folder " + folder + " is in no layer"});
                continue;
            }
            if (IsSource(entry.path()))
                CheckIncludes(root, entry.path(), *rule, violations);
            else if (entry.path().filename() == "CMakeLists.txt")
                CheckLinks(root, entry.path(), *rule, violations);
        }
    }
    std::sort(violations.begin(), violations.end(), [](const auto& a, const auto& b) {
        return std::tie(a.File, a.Line) < std::tie(b.File, b.Line);
    });
    return violations;
}

} // namespace velmora::layering
