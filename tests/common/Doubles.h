#pragma once
namespace TestDoubles { void InstallPlatformDoubles(); }
