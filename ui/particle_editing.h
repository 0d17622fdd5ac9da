// The panels "各粒子の情報" (one particle, read-only, following it) and
// "粒子の設定変更" (an edit buffer and thirteen buttons acting on one particle),
// and the random placement. Every change of the particle table redraws the
// main window: stopped, nothing else would show it.
#pragma once

struct Particle;
struct ParticleFloats;

// Field by field, double to float and back, in Particle order.
void copyToFloats(const Particle& p, ParticleFloats& f);

// infoValues = the shown particle, when it is a live one.
void copyInfoParticle();

// "粒子の番号" of the information panel: an index outside the table is reset
// to 0, the particle's values are shown.
void refreshInfoPanel(int id);
// "粒子の番号" of the edit panel: an index outside the table is reset to 0.
void clampEditIndex(int id);
// The thirteen buttons; id is a ParticleEditAction.
void particleEditButton(int id);
// "粒子をランダムに配置" of "系全体の設定変更".
void placeParticlesRandomlyButton(int id);
