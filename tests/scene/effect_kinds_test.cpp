// SPDX-License-Identifier: MIT
// Particles, fire and waves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "expr/build_parser.h"
#include "expr/param_collection.h"
#include "expr/random.h"
#include "scene_fixture.h"

namespace nova::test {
namespace {

class ParticleTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetRunState();
    GlobalRandom().seed = 1;
    list.SetImageServices({nullptr, &vars});
  }

  TNovaParticle* NewEmitter(const char* delay, int kind = PM_SNOW) {
    auto* p = CreateComponent<TNovaParticle>(&list);
    p->SetName("p");
    p->SetParent(list.Front());
    p->SetBounds(0, 0, 100, 100);
    TNovaParser x, y, d;
    CompileExpression("10", x);
    CompileExpression("0", y);
    CompileExpression(delay, d);
    p->SetExpressions(x, y, d);
    p->SetProp(PR_PARTMOTION, TPropValue::Int(kind));
    return p;
  }
  void Step(int ms) {
    RunState().FrameDelta = ms;
    list.UpdateStep();
  }
  TParamCollection vars;
  TNovaBaseList list{200, 200};
};

TEST_F(ParticleTest, ShortIntervalsSpawnEveryTwoMilliseconds) {
  TNovaParticle* p = NewEmitter("1");
  p->SetProp(PR_PARAM2, TPropValue::Real(0));
  Step(16); // starts: no pre-roll
  Step(32); // two ticks: 32 ms of spawning
  EXPECT_EQ(p->Particles().size(), 1u + 16u);
  for (TNovaParticleImages* particle : p->Particles()) {
    EXPECT_EQ(particle->GetKind(), LT_NONE);
    EXPECT_EQ(particle->IgnoreMouse(), IM_ALL);
    EXPECT_TRUE(particle->IsSystem()) << "particles are never saved";
  }
}

TEST_F(ParticleTest, HugePreRollIsBounded) {
  TNovaParticle* p = NewEmitter("1");
  p->SetProp(PR_INDEX, TPropValue::Int(2000000000));
  Step(16);
  EXPECT_LE(p->Particles().size(), 1025u);
}

TEST_F(ParticleTest, SnowFallsAtItsDefaultSpeedAndLeavesAtTheBottom) {
  TNovaParticle* p = NewEmitter("100000");
  p->SetProp(PR_PARAM1, TPropValue::Real(0));
  Step(16);
  ASSERT_EQ(p->Particles().size(), 1u);
  TNovaParticleImages* snow = p->Particles()[0];
  for (int i = 0; i < 10; ++i)
    Step(16);
  EXPECT_EQ(snow->Top(), 2) << "0.2 px per tick over ten ticks";
  for (int i = 0; i < 600 && !p->Particles().empty(); ++i)
    Step(16);
  EXPECT_TRUE(p->Particles().empty()) << "it leaves once below the emitter";
}

TEST_F(ParticleTest, DurationEndsSpawningThenTheEmitterWhenEmpty) {
  TNovaParticle* p = NewEmitter("50", PM_FLUFF);
  p->SetProp(PR_PARAM1, TPropValue::Real(0.01));
  p->SetProp(PR_DURATION, TPropValue::Int(100));
  for (int i = 0; i < 8; ++i)
    Step(16);
  EXPECT_EQ(p->State(), 2);
  const size_t left = p->Particles().size();
  EXPECT_GT(left, 0u);
  Step(16);
  EXPECT_LE(p->Particles().size(), left) << "no more spawning";
  for (int i = 0; i < 1000 && list.FindByName("p"); ++i)
    Step(16);
  EXPECT_EQ(list.FindByName("p"), nullptr);
}

TEST_F(ParticleTest, TwisterDepthFollowsTheAngle) {
  TNovaParticle* p = NewEmitter("100000", PM_TWISTER);
  p->SetProp(PR_PARAM2, TPropValue::Real(20));
  p->SetProp(PR_PARAM3, TPropValue::Real(0));
  Step(16);
  TNovaParticleImages* t = p->Particles()[0];
  t->Advance(1);
  EXPECT_EQ(t->GetPriority(), 1000) << "largest and in front at angle 0";
  EXPECT_EQ(t->FloatZoomX(), 1.0L);
}

TEST(Fire, DivisorAndCoolingByPower) {
  EXPECT_DOUBLE_EQ(TNovaFire::Divisor(128), 4.2175);
  EXPECT_NEAR(TNovaFire::Divisor(255), 2.945, 0.001);
  EXPECT_DOUBLE_EQ(TNovaFire::Divisor(0), 5.5);
  TNovaBaseList list(64, 64);
  auto* fire = CreateComponent<TNovaFire>(&list);
  fire->SetProp(PR_POWER, TPropValue::Int(999));
  EXPECT_EQ(fire->GetProp(PR_POWER).i, 255);
  EXPECT_EQ(fire->Cooling(1023), std::min(254.0, std::nearbyint(1023 / TNovaFire::Divisor(255))));
  EXPECT_EQ(fire->Cooling(0), 0);
}

TEST(Fire, OneStepPerFrameAndTheRemainderKept) {
  ResetRunState();
  TNovaBaseList list(64, 64);
  auto* fire = CreateComponent<TNovaFire>(&list);
  fire->SetParent(list.Front());
  fire->SetProp(PR_ORIGWIDTH, TPropValue::Int(16));
  fire->SetProp(PR_ORIGHEIGHT, TPropValue::Int(12));
  fire->SetProp(PR_WIDTH, TPropValue::Int(99));
  EXPECT_EQ(fire->GetWidth(), 16) << "the size follows the buffer";
  fire->SetProp(PR_FLOATZOOMX, TPropValue::Real(2.0L));
  EXPECT_EQ(fire->GetWidth(), 32);
  RunState().FrameDelta = 16;
  list.UpdateStep();
  ASSERT_TRUE(fire->Ready());
  const std::vector<uint8_t> before = fire->Heat();
  RunState().FrameDelta = 100;
  list.UpdateStep();
  EXPECT_EQ(fire->StepClock(), 20);
  EXPECT_NE(fire->Heat(), before);
  EXPECT_EQ(fire->Heat().back(), 254) << "the bottom rows burn";
  for (uint8_t v : fire->Heat())
    EXPECT_GE(v, 16);
}

TEST(Wave, OffsetsFollowTheSineAndAmplitudeZeroLeavesRowsAlone) {
  ResetRunState();
  TNovaBaseList list(64, 64);
  TDIBX screen(64, 64, 32);
  list.SetScreenSurface(&screen);
  auto* wave = CreateComponent<TNovaWave>(&list);
  wave->SetParent(list.Front());
  wave->SetBounds(0, 0, 64, 8);
  wave->SetProp(PR_WAVELEN, TPropValue::Int(8));
  wave->SetProp(PR_DELAY, TPropValue::Int(256));
  RunState().FrameDelta = 3; // three steps of a 256 ms period at 256 per ms
  list.UpdateStep();
  EXPECT_EQ(wave->Phase(), 252);
  ASSERT_EQ(wave->Offsets().size(), 8u);
  for (size_t i = 0; i < 8; ++i)
    EXPECT_EQ(
        wave->Offsets()[i],
        std::lround(std::sin(2 * std::numbers::pi * 252 / 256 + i * 2 * std::numbers::pi / 8) * 10))
        << i;
  EXPECT_NE(wave->GetTargetSurface(), &screen) << "children draw through the wave";
  wave->SetProp(PR_AMP, TPropValue::Int(0));
  EXPECT_EQ(wave->GetTargetSurface(), &screen);
}

} // namespace
} // namespace nova::test
