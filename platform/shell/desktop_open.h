#pragma once
// A written video handed to the desktop: played by the user's default application, or shown,
// selected, in the user's file manager.
//
// User-interface thread only. Nothing here waits for the application or file manager to start.

#include <functional>
#include <string>

class QDBusConnection;

// Opens the file (or folder) `path` with the desktop's default application for it; false when it
// is not there or the desktop has no application to ask.
bool OpenWithDefaultApplication(const std::string& path);

// Shows the file `path` selected in the file manager (org.freedesktop.FileManager1.ShowItems on
// the session bus); where no file manager answers there, opens its folder with the default
// application. False when the file is not there or neither way could be tried.
bool ShowInFileManager(const std::string& path);

// The same on `bus`, opening the folder with `openFolder` where no file manager answers: for tests.
bool ShowInFileManagerOn(QDBusConnection bus, const std::string& path,
                         const std::function<bool(const std::string& folder)>& openFolder);
