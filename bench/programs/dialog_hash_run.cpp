#include "hash_run.h"

#include "des_hash_tests/test_sha1.h"
#include "runtime/object_binding.h"
#include "framework/prompts.h"
#include "framework/resources.h"

#include <QString>
#include <chrono>
#include <stdexcept>

namespace {

std::string Joined(const std::vector<std::string>& messages)
{
    std::string text;
    for (const auto& message : messages)
        text += (text.empty() ? "" : " | ") + message;
    return text;
}

// The dialog shows the digest last byte first, in blank-separated groups;
// tools print it first byte first.
std::string StandardOrder(const std::string& shown)
{
    std::string digits;
    for (char c : shown)
        if (c != ' ')
            digits += c;
    std::string standard;
    for (std::size_t i = digits.size(); i >= 2; i -= 2)
        standard += digits.substr(i - 2, 2);
    return standard;
}

// Destroys the dialog's window on every path, releasing its object.
class CreatedDialog {
public:
    CreatedDialog() : m_dialog(nullptr) { m_dialog.Create(); }
    ~CreatedDialog() { m_dialog.DestroyWindow(); }
    CreatedDialog(const CreatedDialog&) = delete;
    CreatedDialog& operator=(const CreatedDialog&) = delete;
    CTestSHA1& operator*() { return m_dialog; }
    CTestSHA1* operator->() { return &m_dialog; }

private:
    CTestSHA1 m_dialog;
};

}  // namespace

HashRun RunDialogFileName(const std::string& path)
{
    if (!AfxOleInit())
        throw std::runtime_error("no component library can be named");
    const ResourceSet resources = ResourceSet::Load(QStringLiteral(":/tarvel3"));
    AfxSetResources(&resources);
    PromptSeam::AnswerUnattended();

    HashRun run;
    {
        CreatedDialog dialog;
        if (auto messages = PromptSeam::TakeMessages(); !messages.empty())
            throw std::runtime_error("the dialog could not start: " + Joined(messages));

        PromptSeam::QueueFileDialogAnswer(path);
        const double cpuStart = ThreadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const bool handled = dialog->OnCommand(1005);
        const auto end = std::chrono::steady_clock::now();
        run.cpuSeconds = ThreadCpuSeconds() - cpuStart;
        if (!handled)
            throw std::runtime_error("the dialog has no FileName handler");
        if (auto messages = PromptSeam::TakeMessages(); !messages.empty())
            throw std::runtime_error("the dialog reported: " + Joined(messages));

        run.seconds = std::chrono::duration<double>(end - start).count();
        run.sha1 = StandardOrder(dialog->GetDlgItemText(1007).str());
        run.shown = dialog->GetDlgItemText(1009).str();
    }
    AfxSetResources(nullptr);
    return run;
}
