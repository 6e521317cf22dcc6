#include "app/show_file_fields.h"

#include <QJsonArray>
#include <cmath>
#include <locale>
#include <sstream>

std::string NumberText(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

void Fields::Fail(const char* key, const std::string& why) {
    if (problem_->empty()) *problem_ = Name(key) + " " + why;
}

std::string Fields::Text(const char* key, bool required) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) {
        if (required) Fail(key, "is missing");
        return {};
    }
    if (!value.isString()) Fail(key, "must be a text");
    return value.toString().toStdString();
}

double Fields::Number(const char* key, double low, double high, std::optional<double> fallback) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) {
        if (!fallback) Fail(key, "is missing");
        return fallback.value_or(low);
    }
    const double number = value.toDouble(std::nan(""));
    if (!(number >= low && number <= high)) {
        Fail(key, "must be a number from " + NumberText(low) + " to " + NumberText(high));
        return fallback.value_or(low);
    }
    return number;
}

double Fields::Checked(const char* key, bool (*accepts)(double), const std::string& what,
                       std::optional<double> fallback) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) {
        if (!fallback) Fail(key, "is missing");
        return fallback.value_or(0);
    }
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || !accepts(number)) {
        Fail(key, "must be " + what);
        return fallback.value_or(0);
    }
    return number;
}

int Fields::Integer(const char* key, int low, int high, int fallback) {
    Known(key);
    if (!Has(key)) return fallback;
    const double number = Value(key).toDouble(std::nan(""));
    if (!(number >= low && number <= high) || std::floor(number) != number) {
        Fail(key,
             "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        return fallback;
    }
    return static_cast<int>(number);
}

bool Fields::Flag(const char* key, bool fallback) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) return fallback;
    if (!value.isBool()) Fail(key, "must be true or false");
    return value.toBool(fallback);
}

void Fields::Each(const char* key, int limit, bool required,
                  const std::function<void(Fields&)>& read) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) {
        if (required) Fail(key, "is missing");
        return;
    }
    if (!value.isArray()) return Fail(key, "must be a list");
    const QJsonArray items = value.toArray();
    if (items.size() > limit)
        return Fail(key, "holds more than " + std::to_string(limit) + " items");
    for (qsizetype i = 0; i < items.size() && problem_->empty(); ++i) {
        const std::string where = Name(key) + "[" + std::to_string(i + 1) + "]";
        if (!items[i].isObject()) {
            *problem_ = where + " must be an object";
            return;
        }
        const QJsonObject item = items[i].toObject();
        Fields fields(item, where, problem_);
        read(fields);
        fields.RefuseOthers();
    }
}

void Fields::Object(const char* key, const std::function<void(Fields&)>& read) {
    const QJsonValue value = Value(key);
    if (value.isUndefined()) return;
    if (!value.isObject()) return Fail(key, "must be an object");
    const QJsonObject object = value.toObject();
    Fields fields(object, Name(key), problem_);
    read(fields);
    fields.RefuseOthers();
}

void Fields::RefuseOthers() {
    for (auto it = object_.begin(); it != object_.end(); ++it) {
        const std::string key = it.key().toStdString();
        if (!read_.count(key)) return Fail(key.c_str(), "is not a field this Kavrel knows");
    }
}
