#pragma once
// Every control of the program's dialogs and every menu command carries its numeric id, so that
// the language code can find its text by id.

#include <QAction>
#include <QVariant>
#include <QWidget>

inline constexpr const char* kControlIdProperty = "kavrelControlId";
inline constexpr const char* kCommandIdProperty = "kavrelCommandId";
// The interface font given to a dialog whose caption was translated (a dialog's own font would
// reach every control inside it, which only the translated ones may get).
inline constexpr const char* kInterfaceFontProperty = "kavrelInterfaceFont";

// A control its table gives no caption (an icon-only button, a list): the language's text for
// its id belongs to another dialog's control of that id.
inline constexpr const char* kNoCaptionProperty = "kavrelNoCaption";

inline void SetControlId(QWidget* widget, int id) { widget->setProperty(kControlIdProperty, id); }
inline int ControlId(const QObject* object) { return object->property(kControlIdProperty).toInt(); }
inline void SetCommandId(QAction* action, int id) { action->setProperty(kCommandIdProperty, id); }
inline int CommandId(const QAction* action) { return action->property(kCommandIdProperty).toInt(); }
