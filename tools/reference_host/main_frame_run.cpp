// The window's run control: starting and stopping, the ticks that hand the
// simulator's inputs to the waiting element, serial input, the run log, the
// recording.
#include "reference_host/main_frame.h"

#include <iostream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/datetime.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/stattext.h>

#include "common/input_error.h"
#include "reference_host/byte_text.h"
#include "reference_host/host_texts.h"
#include "reference_host/recording.h"
#include "reference_host/simulator_panel.h"

namespace reference_host {

namespace {
constexpr std::size_t LOG_LIMIT = 2000;
} // namespace

log_line serial_off(const std::string& why) {
    // TRANSLATORS: %s is the serial library's or the system's reason.
    return {"host: serial input off: " + why,
            "host: " + wxString::Format(host_text("serial input off: %s"),
                                        wxString::FromUTF8(printable_utf8(why)))};
}

// ---- run ----

void main_frame::set_editing(bool allowed) {
    project_column_->Enable(allowed);
    property_window_->Enable(allowed && session_->selected().has_value());
    start_button_->Enable(allowed);
    stop_button_->Enable(!allowed);
}

void main_frame::start_run() {
    if (runner_->state() == run_state::waiting)
        return;
    // The panel's pending text edit belongs to the element before the run.
    SetFocus();
    repeat_pending_ = false;
    runner_->start();
    deliver_all_controllers();
    after_run_step();
}

void main_frame::stop_run() {
    repeat_pending_ = false;
    runner_->stop();
    after_run_step();
}

void main_frame::deliver_all_controllers() {
    // Every described controller streams its inputs, as real ones do.
    for (const auto& controller : simulator_->controllers()) {
        if (runner_->state() != run_state::waiting)
            return;
        runner_->deliver(simulator_->levels(controller.index), controller.index);
    }
}

void main_frame::on_tick(wxTimerEvent&) {
    if (repeat_pending_) {
        repeat_pending_ = false;
        if (repeat_check_->GetValue())
            start_run();
        return;
    }
    if (runner_->state() != run_state::waiting)
        return;
    deliver_all_controllers();
    after_run_step();
}

void main_frame::on_serial_poll(wxTimerEvent&) {
    try {
        for (const std::string& line : serial_->poll()) {
            const std::string english =
                "host: " + *options_.serial_device + " received " + quote_text(line);
            // TRANSLATORS: the serial device, then the text it received, in quotes.
            append_log(
                {english, "host: " + wxString::Format(
                                         host_text("%s received %s"),
                                         wxString::FromUTF8(*options_.serial_device),
                                         wxString::FromUTF8(printable_utf8(quote_text(line))))});
            simulator_->receive_serial_line(options_.serial_interface, line);
        }
    } catch (const serial_error& e) {
        serial_timer_.Stop();
        append_log(serial_off(e.what()));
        SetStatusText(wxString::FromUTF8(e.what()));
    }
}

void main_frame::save_recording() {
    if (!recorder_)
        return;
    try {
        if (recorder_->save())
            // TRANSLATORS: %s is the recording's file.
            SetStatusText(wxString::Format(host_text("Saved the recording to %s"),
                                           wxString::FromUTF8(recorder_->file())));
        else
            SetStatusText(host_text("Nothing recorded yet: no run has started"));
    } catch (const common::input_error& e) {
        report(host_text("Cannot save the recording"), e.what());
    }
}

void main_frame::close_unattended() {
    unattended_ = true;
    Close(true);
}

std::string main_frame::save_recording_at_close() {
    // A run still waiting is recorded as far as it got.
    try {
        if (!recorder_->save())
            std::cerr << "reference_host: no run was started; " << recorder_->file()
                      << " is not written\n";
    } catch (const common::input_error& e) {
        return e.what();
    }
    return {};
}

void main_frame::on_close(wxCloseEvent& event) {
    std::string problem = save_recording_at_close();
    // Nobody to answer, or a close that cannot be refused: the reason where
    // the one who started the program looks.
    if (!problem.empty() && (unattended_ || options_.screenshot || !event.CanVeto())) {
        std::cerr << "reference_host: recording not written: " << problem << "\n";
        problem.clear();
    }
    while (!problem.empty()) {
        // The window stays open until the user retries or lets the recording go.
        // TRANSLATORS: %s says why (the system's reason).
        wxMessageDialog ask(this,
                            wxString::Format(host_text("The recording cannot be written: %s"),
                                             wxString::FromUTF8(problem)),
                            host_text("Cannot save the recording"), wxYES_NO | wxICON_ERROR);
        // TRANSLATORS: the buttons of the dialog above: write the recording
        // again, or close the window and lose it.
        ask.SetYesNoLabels(host_text("Retry"), host_text("Close without it"));
        const int answer = ask.ShowModal();
        if (answer == wxID_NO)
            break;
        if (answer != wxID_YES) {
            event.Veto();
            // TRANSLATORS: %s says why (the system's reason).
            SetStatusText(wxString::Format(host_text("Recording not written: %s"),
                                           wxString::FromUTF8(problem)));
            return;
        }
        problem = save_recording_at_close();
    }
    event.Skip();
}

void main_frame::after_run_step() {
    const run_state state = runner_->state();
    simulator_->show_run(*runner_);
    const auto position = runner_->position();
    for (long row = 0; row < list_->GetItemCount(); ++row) {
        wxString mark;
        if (position && static_cast<long>(*position) == row) {
            // TRANSLATORS: where the run is, in the project list's Run column.
            if (state == run_state::waiting)
                mark = host_text("waiting");
            else if (state == run_state::stopped)
                mark = host_text("stopped");
            else if (state == run_state::failed)
                mark = host_text("error");
        }
        if (list_->GetItemText(row, 2) != mark)
            list_->SetItem(row, 2, mark);
    }
    wxString status;
    wxColour colour = *wxBLACK;
    switch (state) {
    case run_state::idle:
        status = host_text("Not running");
        break;
    case run_state::waiting:
        status = wxString::Format(host_text("Run %d waiting"), runner_->runs_started());
        break;
    case run_state::completed:
        status = wxString::Format(host_text("Run %d completed"), runner_->runs_started());
        break;
    case run_state::stopped:
        status = wxString::Format(host_text("Run %d stopped"), runner_->runs_started());
        break;
    case run_state::failed:
        // TRANSLATORS: %s says what went wrong.
        status = wxString::Format(host_text("Error: %s"), runner_->shown_error());
        colour = wxColour(190, 0, 0);
        break;
    }
    if (run_status_->GetLabel() != status) {
        run_status_->SetLabelText(status);
        run_status_->SetForegroundColour(colour);
    }
    set_editing(state != run_state::waiting);
    if (state == run_state::completed && repeat_check_->GetValue())
        repeat_pending_ = true;
}

void main_frame::append_log(const log_line& line) {
    const wxString now = wxDateTime::Now().FormatISOTime();
    if (log_copy_)
        log_copy_(now.ToStdString() + "  " + printable_utf8(line.english));
    auto shown = [](const log_row& row) {
        wxString text = row.time + "  " + row.shown;
        if (row.count > 1)
            text += wxString::Format("   (x%d)", row.count);
        return text;
    };
    // A wait repeats the same call every tick, once per controller; it shows
    // once with a count and the time of the latest.
    const std::size_t look_back = simulator_->controllers().size() + 1;
    for (std::size_t back = 0; back < look_back && back < log_rows_.size(); ++back) {
        const std::size_t at = log_rows_.size() - 1 - back;
        log_row& row = log_rows_[at];
        if (row.text == line.english) {
            ++row.count;
            row.time = now;
            log_->SetString(static_cast<unsigned>(at), shown(row));
            return;
        }
    }
    if (log_rows_.size() >= LOG_LIMIT) {
        log_rows_.erase(log_rows_.begin());
        log_->Delete(0);
    }
    log_rows_.push_back({line.english, line.shown, 1, now});
    log_->Append(shown(log_rows_.back()));
    log_->EnsureVisible(static_cast<int>(log_->GetCount()) - 1);
}

} // namespace reference_host
