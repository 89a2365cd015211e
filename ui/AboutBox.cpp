#include "ui/AboutBox.h"

#include "res/resource.h"

namespace
{
const char kFeedbackUrl[] = "http://vellomar.example.org/feedback.html";
const char kHomePageUrl[] = "http://orlamine.example.net/software/vellomar.html";
} // namespace

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX, nullptr)
{
}

void CAboutBox::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEEDBACK_LINK, m_linkFeedback);
    DDX_Control(pDX, IDC_HOMEPAGE_LINK, m_linkHomePage);
}

BEGIN_MESSAGE_MAP(CAboutBox, CDialog)
END_MESSAGE_MAP()

BOOL CAboutBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_linkFeedback.SetUrl(kFeedbackUrl);
    m_linkHomePage.SetUrl(kHomePageUrl);
    return TRUE;
}
