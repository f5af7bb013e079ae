#include "compiled_resources.h"

#include <fstream>
#include <iterator>

namespace compiled {

namespace {

constexpr uint16_t kTypeIcon = 3;
constexpr uint16_t kTypeDialog = 5;
constexpr uint16_t kTypeString = 6;
constexpr uint16_t kTypeGroupIcon = 14;
constexpr uint32_t kSetFont = 0x40;

class Reader {
public:
    Reader(const std::vector<uint8_t> &bytes, size_t start, size_t end) : bytes_(bytes), pos_(start), end_(end) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    void Seek(size_t pos) { pos_ = pos; }
    void AlignTo4(size_t base) {
        while ((pos_ - base) % 4 != 0) ++pos_;
    }
    uint8_t U8() { return static_cast<uint8_t>(Take(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
    int16_t S16() { return static_cast<int16_t>(U16()); }
    std::string Text() {
        std::string text;
        for (uint16_t c = U16(); ok_ && c != 0; c = U16()) text += c < 0x100 ? static_cast<char>(c) : '?';
        return text;
    }
    NameOrId Name() {
        NameOrId value;
        uint16_t first = U16();
        if (first == 0xFFFF) {
            value.isId = true;
            value.id = U16();
        } else if (first != 0) {
            value.name += first < 0x100 ? static_cast<char>(first) : '?';
            value.name += Text();
        }
        return value;
    }

private:
    uint64_t Take(int count) {
        if (pos_ + static_cast<size_t>(count) > end_) {
            ok_ = false;
            pos_ = end_;
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < count; ++i) value |= static_cast<uint64_t>(bytes_[pos_ + static_cast<size_t>(i)]) << (8 * i);
        pos_ += static_cast<size_t>(count);
        return value;
    }
    const std::vector<uint8_t> &bytes_;
    size_t pos_, end_;
    bool ok_ = true;
};

bool ReadDialog(const std::vector<uint8_t> &bytes, size_t start, size_t end, Dialog &dialog) {
    Reader in(bytes, start, end);
    uint16_t version = in.U16(), signature = in.U16();
    dialog.extended = version == 1 && signature == 0xFFFF;
    uint16_t count;
    if (dialog.extended) {
        in.U32();  // help id
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        in.Seek(start);
        dialog.style = in.U32();
        dialog.exStyle = in.U32();
    }
    count = in.U16();
    dialog.x = in.S16();
    dialog.y = in.S16();
    dialog.cx = in.S16();
    dialog.cy = in.S16();
    dialog.menu = in.Name();
    dialog.windowClass = in.Name();
    dialog.caption = in.Text();
    if (dialog.style & kSetFont) {
        dialog.pointSize = in.U16();
        if (dialog.extended) {
            in.U16();  // weight
            in.U8();   // italic
            in.U8();   // charset
        }
        dialog.fontFace = in.Text();
    }
    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        in.AlignTo4(start);
        Control control;
        if (dialog.extended) {
            in.U32();  // help id
            control.exStyle = in.U32();
            control.style = in.U32();
        } else {
            control.style = in.U32();
            control.exStyle = in.U32();
        }
        control.x = in.S16();
        control.y = in.S16();
        control.cx = in.S16();
        control.cy = in.S16();
        control.id = dialog.extended ? in.U32() : in.U16();
        control.windowClass = in.Name();
        control.title = in.Name();
        uint16_t extra = in.U16();
        in.Seek(in.pos() + extra);
        dialog.controls.push_back(control);
    }
    return in.ok();
}

}  // namespace

std::optional<Resources> Read(const std::string &path, std::string &error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Resources resources;
    size_t offset = 0;
    while (offset + 8 <= bytes.size()) {
        Reader header(bytes, offset, bytes.size());
        uint32_t dataSize = header.U32();
        uint32_t headerSize = header.U32();
        NameOrId type = header.Name();
        NameOrId name = header.Name();
        if (!header.ok() || headerSize < 16 || offset + headerSize + dataSize > bytes.size()) {
            error = "damaged resource header at offset " + std::to_string(offset);
            return std::nullopt;
        }
        size_t data = offset + headerSize;
        size_t dataEnd = data + dataSize;
        if (dataSize > 0 && type.isId) {
            if (type.id == kTypeDialog) {
                Dialog dialog;
                dialog.name = name;
                if (!ReadDialog(bytes, data, dataEnd, dialog)) {
                    error = "damaged dialog " + name.name;
                    return std::nullopt;
                }
                resources.dialogs.push_back(dialog);
            } else if (type.id == kTypeString && name.isId) {
                Reader in(bytes, data, dataEnd);
                for (unsigned i = 0; i < 16 && in.ok(); ++i) {
                    uint16_t length = in.U16();
                    std::string text;
                    for (uint16_t c = 0; c < length; ++c) {
                        uint16_t unit = in.U16();
                        text += unit < 0x100 ? static_cast<char>(unit) : '?';
                    }
                    // Empty slots of a block are not entries.
                    if (length > 0) resources.strings[(name.id - 1u) * 16u + i] = text;
                }
                if (!in.ok()) {
                    error = "damaged string block " + std::to_string(name.id);
                    return std::nullopt;
                }
            } else if (type.id == kTypeGroupIcon && name.isId) {
                Reader in(bytes, data, dataEnd);
                in.U16();  // reserved
                in.U16();  // type: 1 for icons
                uint16_t count = in.U16();
                std::vector<IconGroupEntry> entries;
                for (uint16_t i = 0; i < count && in.ok(); ++i) {
                    IconGroupEntry entry;
                    entry.width = in.U8();
                    entry.height = in.U8();
                    in.U8();  // colours
                    in.U8();  // reserved
                    in.U16();  // planes
                    entry.bitCount = in.U16();
                    in.U32();  // bytes
                    entry.imageId = in.U16();
                    entries.push_back(entry);
                }
                resources.iconGroups[name.id] = entries;
            } else if (type.id == kTypeIcon && name.isId) {
                resources.iconImages[name.id] = dataSize;
            }
        }
        offset = dataEnd;
        while (offset % 4 != 0) ++offset;
    }
    return resources;
}

}  // namespace compiled
