#pragma once

// Units for the weapon tests: a soldier to hit, shots of each kind and a
// gunner. Lengths in pixels; the test world's ground lies at 60 pixels.
// - Target: a 12x24 soldier of 100 hit points.
// - Slug: a charge of 10 without a blast area; it acts on what it strikes.
// - Medic: a healing charge of 20 without a blast area.
// - Shell: a charge of 30 with a blast area 60 pixels round, 0.1 s of life.
// - Blaster: the same area throwing with an impulse of 5.
// - Dud: a charge of no hit points; it only goes off when its life is out.
// - Mine: unarmed until told, then armed by the ground.
// - Gunner: a soldier with a gun that sees 200 pixels each way and fires
//   Slugs every second from a barrel 10 pixels ahead, 5 up, kicking back.
// - Mortar: a gun without sight that fires Slugs up every half second.
const char* const WEAPON_OBJECTS = R"(
struct Target
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	int hitPoints: 100
	bool appliesGravity: true
	bool noRotate: true
	string teamName: "team_good"
	list struct Components
	{
	}
}
struct Slug
{
	float mass: 0.1
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 3
		}
	}
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 3
			int hitPoints: 10
		}
	}
}
struct Medic
{
	float mass: 0.1
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 3
		}
	}
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 3
			int hitPoints: -20
		}
	}
}
struct Shell
{
	float mass: 0.1
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 6
		}
	}
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 0.1
			int hitPoints: 30
			string materialGroupName: "mg_all_unit_sensor"
			struct Geometry
			{
				string type: "SPHERE"
				point extent: 60, 60
			}
		}
	}
}
struct Blaster
{
	float mass: 0.1
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 6
		}
	}
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 0.1
			float impulse: 5
			int hitPoints: 30
			string materialGroupName: "mg_all_unit_sensor"
			struct Geometry
			{
				string type: "SPHERE"
				point extent: 60, 60
			}
		}
	}
}
struct Dud
{
	float mass: 0.1
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 6, 3
		}
	}
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 0.5
		}
	}
}
struct Mine
{
	float mass: 0.5
	string materialGroupName: "mg_shot"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 10, 6
		}
	}
	bool appliesGravity: true
	list struct Components
	{
		{
			string componentName: "Warhead"
			float life: 0
			int hitPoints: 10
			bool startArmed: false
			bool armOnContactWithTerrain: true
		}
	}
}
struct Gunner
{
	float mass: 1
	string materialGroupName: "mg_mobile_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 12, 24
		}
	}
	int hitPoints: 100
	bool appliesGravity: true
	bool noRotate: true
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Shooter"
			point shotCreationPoint: 10, 5
			pointf recoilVector: -2, 0
			float timeBetweenShots: 1
			string shotObjectName: "Slug"
			string materialGroupName: "mg_unit_sensor"
			list struct Geometry
			{
				{
					string type: "BOX"
					point extent: 400, 60
				}
			}
		}
		{
			string componentName: "Probe"
		}
	}
}
struct Mortar
{
	string materialGroupName: "mg_static_unit"
	list struct Geometry
	{
		{
			string type: "BOX"
			point extent: 30, 30
		}
	}
	string teamName: "team_good"
	list struct Components
	{
		{
			string componentName: "Shooter"
			point shotCreationPoint: 0, 30
			float timeBetweenShots: 0.5
			string shotObjectName: "Dud"
		}
		{
			string componentName: "Probe"
		}
	}
}
)";
