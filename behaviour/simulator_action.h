// CSimulatorAction: asks the outside simulator library to run a simulation and keeps the task it answers.
#pragma once

#include "behaviour/action.h"

// On disk: the simulation name, then the common part; the result is never stored.
class CSimulatorAction : public CAction {
  DECLARE_SERIAL(CSimulatorAction)

 public:
  static constexpr const char* kEntryPoint = "RunSim";

  CSimulatorAction() : CAction(ActionKind::kSimulator) {}
  CSimulatorAction(const CSimulatorAction& other) = default;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // Always TRUE. Runs only when the library was found at start-up; loads it
  // from the program's folder for the call and frees it right after.
  BOOL Execute() override;

  // The high 16 bits of the simulator's last answer: the task it asks for.
  LONG GetResult() const { return m_result; }
  const CString& GetSimulation() const { return m_strSimulation; }

 private:
  LONG m_result = 0;
  CString m_strSimulation;
};
