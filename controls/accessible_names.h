#pragma once
// The names a screen reader reads for the controls of a dialog built from a table, given after
// the dialog's texts (again after each translation). Walking the controls in table order:
// - a button without a caption is named by its tooltip;
// - an edit, list or drop-down list by the label (or option button) just before it, linked to it
//   as its buddy, or by the title of the group box it comes first in; a second field on the same
//   row shares its row's name;
// - a label just after a field on its row ("Seconds", "%") describes that field;
// A name given in code stays; a control carrying kNameStringProperty (a language string id) is
// named by that string.

class QWidget;

inline constexpr const char* kNameStringProperty = "kavrelNameString";
// Likewise for a description: the buttons beside a list say which list they act on.
inline constexpr const char* kDescriptionStringProperty = "kavrelDescriptionString";

void NameControls(QWidget* dialog);
