#pragma once
// Printers, documents and scanners as the service reports them: refresh, the dashboard,
// queue and history, printer controls, diagnostics, discovery and adding, and the outcome
// of every service task.
#include <optional>

#include "operation.hpp"
#include "snapshot.hpp"

namespace wendlow::surface {
class Wendlow;
}

namespace wendlow::flows {

using surface::Wendlow;

void apply(Wendlow& state, op::Refresh);
void apply(Wendlow& state, op::ShowDashboard);
void apply(Wendlow& state, op::ShowQueue);
void apply(Wendlow& state, op::ShowHistory);
void apply(Wendlow& state, op::ShowDiagnostics);
void apply(Wendlow& state, op::FindPrinters);
void apply(Wendlow& state, op::DiscoveryFinished finished);
void apply(Wendlow& state, op::AddPrinter add);
void apply(Wendlow& state, op::OpenPrinter open);
void apply(Wendlow& state, op::SetDefaultPrinter set);
void apply(Wendlow& state, op::SetPrinterEnabled set);
void apply(Wendlow& state, op::RequestCancel request);
void apply(Wendlow& state, op::CancelJob cancel);
void apply(Wendlow& state, op::RetryJob retry);
void apply(Wendlow& state, op::TaskFinished finished);

// Starts a refresh whose result replaces any pending one.
void start_refresh(Wendlow& state);
// A refresh result; nullopt when the worker ended without sending one.
void refresh_arrived(Wendlow& state, std::optional<DeviceSnapshot> snapshot);

}  // namespace wendlow::flows
