#pragma once
// Reads the values of one JSON object of a show file with their types and ranges, keeping the
// first thing wrong in words a user can act on ("photos[3].duration must be a number from 0 to
// 65535"). A value that is wrong reads as its fallback; the caller refuses the file.

#include <QJsonObject>
#include <functional>
#include <set>
#include <optional>
#include <string>

class Fields {
  public:
    Fields(const QJsonObject& object, std::string where, std::string* problem)
        : object_(object), where_(std::move(where)), problem_(problem) {}

    bool Has(const char* key) const { return object_.contains(key); }
    bool IsText(const char* key) const { return object_.value(key).isString(); }
    // A key read elsewhere: not a stranger.
    void Known(const char* key) { read_.insert(key); }
    // Refuses the first key that nothing has asked for: a field of a later Kavrel that this one
    // would drop on the next save. Each and Object ask this of their items themselves.
    void RefuseOthers();
    // A text; empty when absent (noted as a problem when `required`).
    std::string Text(const char* key, bool required);
    // A number from `low` to `high`; `fallback` when absent (none: it is required).
    double Number(const char* key, double low, double high, std::optional<double> fallback);
    // A number that `accepts` takes; else a problem saying it must be `what`.
    double Checked(const char* key, bool (*accepts)(double), const std::string& what,
                   std::optional<double> fallback);
    int Integer(const char* key, int low, int high, int fallback);
    // true or false; `fallback` when absent.
    bool Flag(const char* key, bool fallback);
    // A value written as one of its names; `fallback` when absent.
    template <class T>
    T Named(const char* key, std::optional<T> (*fromName)(const std::string&), T fallback);
    // Each object in the array `key`, which holds at most `limit`.
    void Each(const char* key, int limit, bool required, const std::function<void(Fields&)>& read);
    // The object `key`, when there is one.
    void Object(const char* key, const std::function<void(Fields&)>& read);
    void Fail(const char* key, const std::string& why);

  private:
    std::string Name(const char* key) const { return where_.empty() ? key : where_ + "." + key; }
    QJsonValue Value(const char* key) {
        read_.insert(key);
        return object_.value(key);
    }

    const QJsonObject& object_;
    std::string where_;
    std::string* problem_;
    std::set<std::string> read_;
};

// A number as a person writes it: 0.001, 65535.
std::string NumberText(double value);

template <class T>
T Fields::Named(const char* key, std::optional<T> (*fromName)(const std::string&), T fallback) {
    Known(key);
    if (!Has(key)) return fallback;
    const std::optional<T> value = fromName(Text(key, true));
    if (!value) Fail(key, "is not a name Kavrel knows");
    return value.value_or(fallback);
}
