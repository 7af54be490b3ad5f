#include "unified/Program.h"

#include "platform/widgets/Application.h"
#include "unified/dialogparts/ProgressBox.h"
#include "unified/draw/CreateDrawBox.h"
#include "unified/draw/OptionsTournBox.h"
#include "unified/draw/TournResultsBox.h"
#include "unified/ladder/CancelResultBox.h"
#include "unified/ladder/Enter2ResultsBox.h"
#include "unified/ladder/EnterResultsBox.h"
#include "unified/ladder/OptionsGeneral.h"
#include "unified/ladder/OptionsPts.h"
#include "unified/ladder/OptionsTrad.h"
#include "unified/online/ConfigureOnlineBox.h"
#include "unified/online/EmailSendBox.h"
#include "unified/online/HttpForm1.h"
#include "unified/online/InternetUploadBox.h"
#include "unified/online/MailSndForm.h"
#include "unified/online/SetupEmailBox.h"
#include "unified/schedule/ManualMatchAssignBox.h"
#include "unified/schedule/MatchAssignment.h"
#include "unified/schedule/PartyRptOpts.h"
#include "unified/schedule/PartyWarnOpts.h"
#include "unified/schedule/PreferredPartnerBox.h"
#include "unified/schedule/RoundNotations.h"
#include "unified/schedule/SetupCourtsRoundsBox.h"
#include "unified/schedule/SetupCustomCourts.h"
#include "unified/window/AUPlayerBox.h"
#include "unified/window/DelPlayerBox.h"
#include "unified/window/HelpAboutBox.h"
#include "unified/window/MainForm.h"
#include "unified/window/NewEventBox.h"
#include "unified/window/OptionsPrintBox.h"
#include "unified/window/PreviewBox.h"
#include "unified/window/ReportOptionsBox.h"
#include "unified/window/UpdPlayerBox.h"
#include "unified/window/eventFactory.h"

namespace {

template <typename Window> void Destroy(Window*& window) {
    delete window;
    window = nullptr;
}

} // namespace

void CreateWindows(const std::vector<std::string>& arguments) {
    MainForm = new TMainForm(arguments);
    // Each dialog lives until the program ends and is shown again for each
    // use; the main window owns it as its parent.
    AUPlayerBox = new TAUPlayerBox(MainForm);
    OptionsGeneral = new TOptionsGeneral(MainForm);
    OptionsTrad = new TOptionsTrad(MainForm);
    OptionsPts = new TOptionsPts(MainForm);
    PreviewBox = new TPreviewBox(MainForm);
    HelpAboutBox = new THelpAboutBox(MainForm);
    MatchAssignment = new TMatchAssignment(MainForm);
    ReportOptionsBox = new TReportOptionsBox(MainForm);
    SetupCourtsRoundsBox = new TSetupCourtsRoundsBox(MainForm);
    NewEventBox = new TNewEventBox(MainForm);
    EnterResultsBox = new TEnterResultsBox(MainForm);
    SetupEmailBox = new TSetupEmailBox(MainForm);
    OptionsTournBox = new TOptionsTournBox(MainForm);
    OptionsPrintBox = new TOptionsPrintBox(MainForm);
    PreferredPartnerBox = new TPreferredPartnerBox(MainForm);
    TournResultsBox = new TTournResultsBox(MainForm);
    UpdPlayerBox = new TUpdPlayerBox(MainForm);
    CancelResultBox = new TCancelResultBox(MainForm);
    PartyWarnOpts = new TPartyWarnOpts(MainForm);
    PartyRptOpts = new TPartyRptOpts(MainForm);
    RoundNotations = new TRoundNotations(MainForm);
    MailSndForm = new TMailSndForm(MainForm);
    SetupCustomCourts = new TSetupCustomCourts(MainForm);
    EmailSendBox = new TEmailSendBox(MainForm);
    CreateDrawBox = new TCreateDrawBox(MainForm);
    ManualMatchAssignBox = new TManualMatchAssignBox(MainForm);
    ProgressBox = new TProgressBox(MainForm);
    ConfigureOnlineBox = new TConfigureOnlineBox(MainForm);
    InternetUploadBox = new TInternetUploadBox(MainForm);
    HttpForm = new THttpForm(MainForm);
    Enter2ResultsBox = new TEnter2ResultsBox(MainForm);
    DelPlayerBox = new TDelPlayerBox(MainForm);
    MainForm->ConnectOnlineService();
}

void DestroyWindows() {
    // The dialogs first, in the reverse order, then the main window.
    Destroy(DelPlayerBox);
    Destroy(Enter2ResultsBox);
    Destroy(HttpForm);
    Destroy(InternetUploadBox);
    Destroy(ConfigureOnlineBox);
    Destroy(ProgressBox);
    Destroy(ManualMatchAssignBox);
    Destroy(CreateDrawBox);
    Destroy(EmailSendBox);
    Destroy(SetupCustomCourts);
    Destroy(RoundNotations);
    Destroy(MailSndForm);
    Destroy(PartyRptOpts);
    Destroy(PartyWarnOpts);
    Destroy(CancelResultBox);
    Destroy(UpdPlayerBox);
    Destroy(TournResultsBox);
    Destroy(PreferredPartnerBox);
    Destroy(OptionsPrintBox);
    Destroy(OptionsTournBox);
    Destroy(EnterResultsBox);
    Destroy(SetupEmailBox);
    Destroy(NewEventBox);
    Destroy(SetupCourtsRoundsBox);
    Destroy(ReportOptionsBox);
    Destroy(MatchAssignment);
    Destroy(HelpAboutBox);
    Destroy(PreviewBox);
    Destroy(OptionsPts);
    Destroy(OptionsTrad);
    Destroy(OptionsGeneral);
    Destroy(AUPlayerBox);
    Destroy(MainForm);
    DestroyCurrentEvent();
}

int RostrixMain(int argc, char** argv) {
    Application application(argc, argv);
    try {
        // The application object has taken its own switches out of argv.
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        CreateWindows(arguments);
        MainForm->show();
        Application::exec();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowUnknownException();
    }
    DestroyWindows();
    return 0;
}
