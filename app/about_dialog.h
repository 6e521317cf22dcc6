#pragma once
// The About box: the program's name and version, its two links and the libraries it is built on.

#include "controls/template_dialog.h"

class CAboutDlg : public TemplateDialog {
public:
    CAboutDlg(MessageBoxes& boxes, QString homePage, QString contactPage, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    QString homePage_, contactPage_;
};

// The addresses the program links to: build options, a page of the installed user guide by default.
QString HomePageAddress(const std::string& dataFolder);
QString ContactPageAddress(const std::string& dataFolder);
