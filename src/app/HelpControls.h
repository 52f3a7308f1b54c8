#pragma once
// Components of the Help page: brand logos and texts, the help pane and the
// screen line.
class QLabel;
class QTextEdit;

struct HelpControls {
    QLabel* Tool_Image_Logo_TVK = nullptr; // brand 1
    QLabel* Tool_Image_Logo_middle_TVK = nullptr;
    QLabel* Tool_Image_Logo_NOLD = nullptr; // brand 2
    QLabel* Tool_Image_Logo_middle_NOLD = nullptr;
    QLabel* Label_Help_customer_left_logo = nullptr; // tool title
    QLabel* Label_HelpVersion = nullptr;
    QLabel* Label_Help_middle_logo = nullptr;     // rights line
    QLabel* Label_Help_middle_logo_web = nullptr; // opens the brand's web page
    QTextEdit* RichEdit_Help = nullptr;
    QLabel* Label4 = nullptr; // screen resolution line
};
