// A reader for compiled resource files (.res, as windres and rc write
// them): the dialog templates, string table and icon groups in them.
#ifndef ORVIXFAX_TESTS_COMPILED_RESOURCES_H
#define ORVIXFAX_TESTS_COMPILED_RESOURCES_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace compiled {

// A string or an ordinal, as resource names, classes and titles are stored.
struct NameOrId {
    bool isId = false;
    uint16_t id = 0;
    std::string name;  // narrowed from UTF-16 (the script is 8-bit)
};

struct Control {
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;
    NameOrId windowClass;
    NameOrId title;
};

struct Dialog {
    NameOrId name;
    bool extended = false;
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrId menu, windowClass;
    std::string caption;
    int pointSize = 0;
    std::string fontFace;
    std::vector<Control> controls;
};

struct IconGroupEntry {
    int width = 0, height = 0, bitCount = 0;
    uint16_t imageId = 0;
};

struct Resources {
    std::vector<Dialog> dialogs;
    std::map<unsigned, std::string> strings;
    std::map<uint16_t, std::vector<IconGroupEntry>> iconGroups;  // by group id
    std::map<uint16_t, size_t> iconImages;                       // image id -> bytes
};

// Reads the whole file; an error text instead when it is not a valid .res.
std::optional<Resources> Read(const std::string &path, std::string &error);

}  // namespace compiled

#endif
