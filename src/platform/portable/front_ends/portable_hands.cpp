#include "platform/portable/front_ends/portable_hands.h"

#include "platform/portable/automation.h"

#include <vector>

namespace portable {
namespace {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

script::Kind KindOf(const std::string &kind) {
    using script::Kind;
    if (kind == "button") return Kind::Button;
    if (kind == "check box") return Kind::CheckBox;
    if (kind == "radio button") return Kind::RadioButton;
    if (kind == "group box") return Kind::GroupBox;
    if (kind == "edit") return Kind::Edit;
    if (kind == "list box") return Kind::ListBox;
    if (kind == "static") return Kind::Static;
    if (kind == "icon") return Kind::Icon;
    return Kind::None;
}

std::string Done(bool done) { return done ? std::string() : automation::LastError(); }

}  // namespace

void PortableHands::ShowMessageBox(const std::string &caption, const std::string &text, UINT type) {
    boxShown_ = true;
    boxCaption_ = caption;
    boxText_ = text;
    boxType_ = type;
    answer_ = 0;
}

int PortableHands::TakeAnswer() {
    boxShown_ = false;
    return answer_;
}

script::Top PortableHands::OnTop() {
    script::Top top;
    if (boxShown_ && answer_ == 0) {
        top.what = script::Top::What::Message;
        top.caption = boxCaption_;
        top.text = boxText_;
        top.buttons = ButtonsOf(boxType_);
    } else if (HWND dialog = automation::InnermostDialog()) {
        top.what = script::Top::What::Dialog;
        top.caption = automation::Caption(dialog);
    }
    return top;
}

script::ControlView PortableHands::Look(int id, bool readLines) {
    using namespace automation;
    script::ControlView view;
    HWND dialog = InnermostDialog();
    HWND control = dialog ? Control(dialog, id) : nullptr;
    if (!control) return view;
    view.kind = KindOf(ControlKind(dialog, id));
    view.enabled = IsEnabled(dialog, id);
    view.visible = IsVisible(dialog, id);
    view.checked = IsChecked(dialog, id);
    view.focused = HasFocus(dialog, id);
    view.text = ControlText(dialog, id);
    if (view.kind == script::Kind::Edit) {
        view.readOnly = (GetWindowLongPtrA(control, GWL_STYLE) & ES_READONLY) != 0;
        view.lines = EditLines(dialog, id);
        view.lineCount = static_cast<int>(view.lines.size());
        if (!readLines) view.lines.clear();
    } else if (view.kind == script::Kind::ListBox) {
        view.lineCount = LineCount(dialog, id);
        for (int i = 0; readLines && i < view.lineCount; ++i) view.lines.push_back(LineText(dialog, id, i));
        view.selected = SelectedLines(dialog, id);
    }
    return view;
}

std::string PortableHands::Type(int id, const std::string &text) {
    return Done(automation::Type(automation::InnermostDialog(), id, text));
}

std::string PortableHands::Clear(int id) { return Done(automation::ClearText(automation::InnermostDialog(), id)); }

std::string PortableHands::Click(int id) { return Done(automation::Click(automation::InnermostDialog(), id)); }

std::string PortableHands::ClickLine(int id, int index, bool twice) {
    HWND dialog = automation::InnermostDialog();
    return Done(twice ? automation::DoubleClickLine(dialog, id, index) : automation::ClickLine(dialog, id, index));
}

std::string PortableHands::Focus(int id) { return Done(automation::FocusControl(automation::InnermostDialog(), id)); }

std::string PortableHands::Press(script::Key key) {
    HWND dialog = automation::InnermostDialog();
    switch (key) {
    case script::Key::Enter: return Done(automation::PressEnter(dialog));
    case script::Key::Escape: return Done(automation::PressEscape(dialog));
    case script::Key::Tab: return Done(automation::PressTab(dialog));
    }
    return "no such key";
}

std::string PortableHands::CloseBox() { return Done(automation::Close(automation::InnermostDialog())); }

std::string PortableHands::Answer(int button) {
    if (!boxShown_ || answer_ != 0) return "no message box is shown";
    answer_ = button;
    return {};
}

}  // namespace portable
