#pragma once

#include "platform/Dialog.h"
#include "ui/UrlLabel.h"

// The About box: name, version, copyright and two links.
class CAboutBox : public CDialog
{
public:
    CAboutBox();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

    CUrlLabel m_linkFeedback;
    CUrlLabel m_linkHomePage;
};
