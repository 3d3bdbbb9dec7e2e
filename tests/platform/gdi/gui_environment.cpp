// Fonts need a Qt application object: one for the whole test program.
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QGuiApplication::instance()) m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
  }
  void TearDown() override { m_app.reset(); }

 private:
  int m_argc = 1;
  char m_name[16] = "gdi_tests";
  char* m_argv[2] = {m_name, nullptr};
  std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
