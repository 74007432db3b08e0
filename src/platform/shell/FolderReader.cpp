#include "platform/shell/FolderReader.h"

#include <gio/gio.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace Platform::shell {

namespace {

constexpr const char* kAttributes =
    "standard::name,standard::display-name,standard::type,standard::size,standard::is-hidden,"
    "standard::content-type,standard::fast-content-type,time::modified,thumbnail::path";

std::string lowered(const std::string& text) {
    gchar* folded = g_utf8_casefold(text.c_str(), -1);
    std::string result = folded != nullptr ? folded : text;
    g_free(folded);
    return result;
}

}  // namespace

Result readFolder(const std::string& path, std::vector<FolderItem>& out) {
    out.clear();
    if (path.empty() || !isFolder(path)) return kFileNotFound;
    GFile* folder = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    GFileEnumerator* entries =
        g_file_enumerate_children(folder, kAttributes, G_FILE_QUERY_INFO_NONE, nullptr, &error);
    g_object_unref(folder);
    if (entries == nullptr) {
        const bool missing = error != nullptr && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_NOT_FOUND;
        if (error != nullptr) g_error_free(error);
        return missing ? kFileNotFound : kFail;
    }
    while (GFileInfo* info = g_file_enumerator_next_file(entries, nullptr, nullptr)) {
        FolderItem item;
        item.name = g_file_info_get_name(info);
        const char* display = g_file_info_get_display_name(info);
        item.displayName = display != nullptr ? display : item.name;
        item.isFolder = g_file_info_get_file_type(info) == G_FILE_TYPE_DIRECTORY;
        item.hidden = g_file_info_get_is_hidden(info);
        item.size = item.isFolder ? 0 : g_file_info_get_size(info);
        const char* type = g_file_info_get_content_type(info);
        if (type == nullptr)
            type = g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_STANDARD_FAST_CONTENT_TYPE);
        item.contentType = type != nullptr ? type : "";
        if (item.isFolder) item.contentType = "inode/directory";
        if (gchar* description = g_content_type_get_description(item.contentType.c_str())) {
            item.typeName = description;
            g_free(description);
        }
        item.modified = static_cast<int64_t>(g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED));
        if (const char* thumbnail = g_file_info_get_attribute_byte_string(info, G_FILE_ATTRIBUTE_THUMBNAIL_PATH))
            item.thumbnailPath = thumbnail;
        out.push_back(std::move(item));
        g_object_unref(info);
    }
    g_object_unref(entries);
    std::stable_sort(out.begin(), out.end(),
                     [](const FolderItem& a, const FolderItem& b) { return compareNames(a.name, b.name) < 0; });
    return kOk;
}

int compareNames(const std::string& a, const std::string& b) {
    const int folded = lowered(a).compare(lowered(b));
    if (folded != 0) return folded < 0 ? -1 : 1;
    const int exact = a.compare(b);
    return exact < 0 ? -1 : exact > 0 ? 1 : 0;
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string parentFolder(const std::string& path) {
    std::filesystem::path p(path);
    while (p.has_relative_path() && p.filename().empty()) p = p.parent_path();  // "a/b/" -> "a/b"
    const std::filesystem::path parent = p.parent_path();
    return parent.empty() ? path : parent.string();
}

std::string childPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::string desktopFolder() {
    const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
    if (desktop != nullptr && isFolder(desktop)) return desktop;
    return g_get_home_dir();
}

std::string fileUri(const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string result = uri != nullptr ? uri : "";
    g_free(uri);
    return result;
}

}  // namespace Platform::shell
