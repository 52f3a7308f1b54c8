#pragma once
// A file dialog that exists only from its first use on. A QFileDialog starts
// Qt's file-information gatherer and pooled threads as soon as it is made, so
// a window that makes its dialogs up front keeps those threads for its whole
// life, even when the user never saves or opens a file.
#include <QFileDialog>
#include <QPointer>
#include <QString>

class TLazyFileDialog {
public:
    TLazyFileDialog() = default;
    TLazyFileDialog(const TLazyFileDialog&) = delete;
    TLazyFileDialog& operator=(const TLazyFileDialog&) = delete;

    // What the dialog will be made with; nothing is made yet.
    void Configure(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                   QFileDialog::FileMode fileMode, const QString& defaultSuffix)
    {
        parent_ = parent;
        name_ = QString::fromLatin1(name);
        mode_ = mode;
        fileMode_ = fileMode;
        suffix_ = defaultSuffix;
    }

    // The dialog, made on the first call; a child of the parent, which owns it.
    QFileDialog* Get()
    {
        if (!dialog_) {
            dialog_ = new QFileDialog(parent_);
            dialog_->setObjectName(name_);
            dialog_->setAcceptMode(mode_);
            dialog_->setFileMode(fileMode_);
            dialog_->setDefaultSuffix(suffix_);
        }
        return dialog_;
    }
    QFileDialog* operator->() { return Get(); }
    bool Created() const { return !dialog_.isNull(); }

private:
    QWidget* parent_ = nullptr;
    QString name_;
    QFileDialog::AcceptMode mode_ = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode_ = QFileDialog::ExistingFile;
    QString suffix_;
    QPointer<QFileDialog> dialog_;
};
