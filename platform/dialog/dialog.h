// Modal dialogs laid out from a template of controls placed in dialog units,
// shown with GTK 3.
//
// A dialog unit is a quarter of the dialog font's average character width
// across and an eighth of its height down, so a template keeps its proportions
// whatever the font. The dialog stays open until one of its push buttons is
// pressed, Escape is pressed or its close box is used; it then reports which
// button closed it and what its edit fields held.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace platform {

// Ids of the two standard buttons. Escape and the close box count as Cancel.
constexpr int dialogIdOk = 1;
constexpr int dialogIdCancel = 2;

enum class DialogControlKind {
    pushButton,
    defaultPushButton,  // Enter in an edit field presses the first of these
    rightLabel,
    leftLabel,          // wraps its text at word breaks
    edit,
    groupBox,
};

struct DialogControl {
    int id;               // -1 for controls nothing refers to
    DialogControlKind kind;
    std::string text;     // caption; empty for edit fields
    int x, y, width, height;
};

// Controls in tab order. The first control that takes the focus has it when the
// dialog opens.
struct DialogTemplate {
    std::string title;
    int x, y, width, height;
    std::string fontName;
    int pointSize;
    std::vector<DialogControl> controls;
};

// Shows the dialog and waits until it closes. `texts` holds the texts of the
// edit fields by id: those given are shown, and when the dialog closes every
// edit field's text is put back. Returns the id of the button that closed the
// dialog, or -1 with the reason in `error` when it cannot be shown (no display).
int runModalDialog(const DialogTemplate& dialog, std::map<int, std::string>& texts,
                   std::string& error);

} // namespace platform
