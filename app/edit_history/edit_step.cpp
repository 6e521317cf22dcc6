#include "app/edit_history/edit_step.h"

#include "lang/language.h"
#include "platform/com/failure_texts.h"

std::string EditStep::Name() const {
    if (name_.pluralId == 0 || name_.count == 1) return theLanguage.GetString(name_.singularId);
    return FilledText(theLanguage.GetString(name_.pluralId).c_str(), {std::to_string(name_.count)});
}
