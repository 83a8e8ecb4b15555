#include "toolkit/BackgroundWork.h"

#include "base/Prompter.h"

#include <QEventLoop>
#include <QList>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// Boxes asked for on the work's thread wait for the window's thread; the others go straight on.
class HeldPrompter : public IPrompter {
public:
    HeldPrompter() : m_window(std::this_thread::get_id()) {}
    void SetPrevious(IPrompter* previous) { m_previous = previous; }

    MsgResult Show(const MessageRequest& request) override {
        if (std::this_thread::get_id() == m_window)
            return m_previous ? m_previous->Show(request) : request.defaultButton;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_held << request;
        return request.defaultButton;
    }

    QList<MessageRequest> Held() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_held;
    }

private:
    IPrompter* m_previous = nullptr;
    std::thread::id m_window;
    std::mutex m_mutex;
    QList<MessageRequest> m_held;
};
} // namespace

void BackgroundWork::Run(QWidget* parent, const QString& title, const QString& label,
                         const std::function<void(const Report&)>& work) {
    QProgressDialog progress(label, QStringLiteral("取消"), 0, 0, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    progress.setAccessibleName(title);
    progress.setValue(0);

    auto owned = std::make_unique<HeldPrompter>();
    HeldPrompter* held = owned.get();
    std::unique_ptr<IPrompter> previous = Prompter::Set(std::move(owned));
    held->SetPrevious(previous.get());
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        work([&](int rowsDone, int rowsTotal) {
            done = rowsDone;
            total = rowsTotal;
            return !cancel.load();
        });
        finished = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (progress.wasCanceled())
            cancel = true;
        if (total > 0 && !cancel) {
            progress.setMaximum(total);
            progress.setValue(done);
            progress.setLabelText(
                QStringLiteral("%1(%2 / %3)").arg(label).arg(done.load()).arg(total.load()));
        }
        if (finished)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    worker.join();
    progress.close();
    const QList<MessageRequest> messages = held->Held();
    Prompter::Set(std::move(previous));
    for (const MessageRequest& message : messages)
        Prompter::MessageBox(message.text, message.caption, message.icon, message.buttons,
                             message.defaultButton);
}
