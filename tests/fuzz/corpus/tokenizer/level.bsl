func void main(void)
{
	# start the level
	ai2_spawn Muro
	sleep 60
	if (trigvolume_count(7) eq 0) {
		chr_poison(Muro, 5, 30.0, 1.5e3);
	}
	var int counter = 3;
}
