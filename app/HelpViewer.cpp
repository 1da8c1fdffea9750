#include "HelpViewer.h"

#include "Services.h"

void HelpViewer::open(QWidget* owner, const QString& topicPage) {
    prompter().message(owner,
                       QStringLiteral("Help for %1 is not available.").arg(helpTopicAddress(topicPage)),
                       kAppTitle, MsgIcon::Information, MsgButtons::Ok);
}
