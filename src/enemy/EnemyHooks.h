// Hands the stage's enemy factory the kinds of this library.
#pragma once

void InstallEnemyMakers();
